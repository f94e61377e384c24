#include "controls/ParentBackground.h"

#include <QWidget>

QImage ParentBackground(const QWidget* widget) {
    QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (QWidget* parent = widget->parentWidget())
        parent->render(&image, QPoint(), QRegion(widget->geometry()),
                       QWidget::DrawWindowBackground);
    return image;
}
