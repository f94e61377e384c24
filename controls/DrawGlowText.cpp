#include "controls/DrawGlowText.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

struct GradientStops {
    qreal y0;
    QRgb c0;
    qreal y1;
    QRgb c1;
};

struct StyleColours {
    QRgb glow;
    GradientStops first;
    GradientStops second;
};

StyleColours ColoursOf(GlowTextStyle style) {
    switch (style) {
    case GlowTextStyle::Video:
        return {0x500A96DC, {0, 0xC81478F0, 90, 0xFF1478F0}, {10, 0xFF50BCFA, 120, 0x9650509B}};
    case GlowTextStyle::Title:
        return {0x3E000202, {0, 0xC80000F0, 90, 0xFF1E78C3}, {10, 0xFFFFFFFF, 60, 0x0F010101}};
    case GlowTextStyle::Instrument:
        break;
    }
    return {0x50A05002, {0, 0xC8BEDC18, 90, 0xFFC37800}, {10, 0xFFFFBC00, 40, 0x96FF0101}};
}

QFont FontOf(GlowTextStyle style, qreal emSize) {
    QFont font(QStringLiteral("Arial"));
    if (style == GlowTextStyle::Title) {
        // Without the heavy family itself, its metric stand-in at black weight.
        QFont black(QStringLiteral("Arial Black"));
        if (QFontInfo(black).family() == QStringLiteral("Arial Black"))
            font = black;
        else
            font.setWeight(QFont::Black);
    }
    font.setPixelSize(qMax(1, qRound(emSize)));
    return font;
}

QLinearGradient Gradient(const GradientStops& g) {
    QLinearGradient gradient(QPointF(0, g.y0), QPointF(0, g.y1));
    gradient.setColorAt(0, QColor::fromRgba(g.c0));
    gradient.setColorAt(1, QColor::fromRgba(g.c1));
    gradient.setSpread(QGradient::RepeatSpread);
    return gradient;
}

} // namespace

void DrawGlowText(QPainter& painter, const QString& text, QPointF position, qreal emSize,
                  GlowTextStyle style) {
    if (style == GlowTextStyle::Video)
        position.setX(10);
    else if (style == GlowTextStyle::Title)
        position = QPointF(50, 10);
    const StyleColours colours = ColoursOf(style);
    const QFont font = FontOf(style, emSize);

    // The layout box starts at `position`; the text layout leaves a lead-in
    // of a sixth of the em before the first glyph.
    const QFontMetricsF metrics(font);
    QPainterPath path;
    path.addText(position + QPointF(emSize / 6, metrics.ascent()), font, text.left(127));

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(
        QPen(QColor::fromRgba(0x9BD7D7D7), 3, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.drawPath(path);
    for (int width = 1; width <= 8; ++width) {
        painter.setPen(QPen(QColor::fromRgba(colours.glow), width, Qt::SolidLine, Qt::RoundCap,
                            Qt::RoundJoin));
        painter.drawPath(path);
    }
    painter.fillPath(path, Gradient(colours.first));
    painter.fillPath(path, Gradient(colours.second));
    painter.restore();
}
