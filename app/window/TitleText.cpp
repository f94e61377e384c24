#include "app/window/TitleText.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

void DrawTitleText(QPainter& painter, const QString& text, QPoint origin) {
    QFont font("Arial Black");
    font.setPixelSize(18);
    font.setWeight(QFont::Black);
    QPainterPath path;
    path.addText(QPointF(origin) + QPointF(0, QFontMetricsF(font).ascent()), font, text);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.strokePath(path, QPen(QColor::fromRgba(0x9BD7D7D7), 3));
    for (int width = 1; width <= 8; ++width)
        painter.strokePath(path, QPen(QColor::fromRgba(0x3E000202), width, Qt::SolidLine,
                                      Qt::RoundCap, Qt::RoundJoin));
    QLinearGradient colour(0, 0, 0, 90);
    colour.setColorAt(0, QColor::fromRgba(0xC80000F0));
    colour.setColorAt(1, QColor::fromRgba(0xFF1E78C3));
    painter.fillPath(path, colour);
    QLinearGradient shine(0, 10, 0, 60);
    shine.setColorAt(0, QColor::fromRgba(0xFFFFFFFF));
    shine.setColorAt(1, QColor::fromRgba(0x0F010101));
    painter.fillPath(path, shine);
    painter.restore();
}
