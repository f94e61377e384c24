#include "app/window/WindowShape.h"

#include <QPainterPath>
#include <QPolygon>

QRegion MainWindowRegion(QSize client, bool fullScreen) {
    const QRect all(QPoint(0, 0), client);
    if (fullScreen)
        return QRegion(all);
    QPainterPath rounded;
    rounded.addRoundedRect(QRectF(all), 5, 5);
    QPainterPath corner;
    corner.addRect(0, 0, 30, 30);
    QPainterPath circle;
    circle.addEllipse(0, 0, 60, 60);
    const QPainterPath shape = rounded.subtracted(corner.subtracted(circle));
    return QRegion(shape.toFillPolygon().toPolygon());
}
