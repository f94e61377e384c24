#include "clip/ClipOverlayImage.h"

#include "clip/ClipGeometry.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

// Digits about 1/37 of the picture's height, never under 14 pixels (a
// picture under 720 lines is scaled up to them when figures are drawn).
constexpr int kSmallestFontPixels = 20;

int FontPixels(QSize picture) {
    return std::max(kSmallestFontPixels, std::min(picture.height() * 3 / 80, picture.width() / 40));
}

int Even(int v) {
    return (v + 1) & ~1;
}

} // namespace

QSize OverlayBoxSize(QSize picture, int lineCount, bool map, int columns) {
    const int px = FontPixels(picture);
    const int textHeight = lineCount * px * 5 / 4 + px / 2;
    const int mapSide = map ? px * 6 : 0;
    // A monospaced character is 0.6 of the font's height wide.
    const int textWidth = lineCount ? std::max(px * 18, (columns * px * 3 + 4) / 5 + px / 2) : 0;
    // A long line is cut rather than the clip refused: the box keeps its margins inside the
    // picture.
    const int width = std::min(textWidth + mapSide + px / 2,
                               (picture.width() - 2 * ClipEdgeMargin(picture)) & ~1);
    return {Even(width), Even(std::max(textHeight, mapSide + px / 2))};
}

QImage DrawOverlay(const QSize& box, QSize picture, const ClipFigureChange& change,
                   const std::vector<QPointF>& route, bool map) {
    QImage image(box, QImage::Format_RGBA8888);
    image.fill(QColor(0, 0, 0, 150));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const int px = FontPixels(picture);
    const int mapSide = map ? px * 6 : 0;
    // Tall digits for their width, and a 0 with a dot that never reads as an 8.
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setWeight(QFont::Bold);
    font.setPixelSize(px);
    painter.setFont(font);
    painter.setPen(Qt::white);
    const int lineHeight = font.pixelSize() * 5 / 4;
    int y = font.pixelSize() / 4;
    for (const QString& line : change.lines) {
        painter.drawText(QRect(font.pixelSize() / 4, y, box.width(), lineHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, line);
        y += lineHeight;
    }
    std::vector<QPointF> shown;
    for (const QPointF& p : route)
        if (!IsRouteBreak(p))
            shown.push_back(p);
    if (map && mapSide > 0 && !shown.empty()) {
        const QRectF area(box.width() - mapSide - px / 4, px / 4, mapSide, mapSide);
        painter.fillRect(area, QColor(255, 255, 255, 60));
        double minX = shown[0].x(), maxX = minX, minY = shown[0].y(), maxY = minY;
        for (const QPointF& p : shown) {
            minX = std::min(minX, p.x());
            maxX = std::max(maxX, p.x());
            minY = std::min(minY, p.y());
            maxY = std::max(maxY, p.y());
        }
        // Degrees of longitude shrink towards the poles.
        const double xScale = std::cos((minY + maxY) / 2 * M_PI / 180);
        const double span = std::max({(maxX - minX) * xScale, maxY - minY, 1e-6});
        const double margin = mapSide * 0.1;
        const double scale = (mapSide - 2 * margin) / span;
        const auto place = [&](const QPointF& p) {
            return QPointF(area.left() + margin + (p.x() - minX) * xScale * scale,
                           area.bottom() - margin - (p.y() - minY) * scale);
        };
        QPainterPath path;
        bool gap = true;
        for (const QPointF& p : route) {
            if (IsRouteBreak(p)) {
                gap = true;
                continue;
            }
            if (gap)
                path.moveTo(place(p));
            else
                path.lineTo(place(p));
            gap = false;
        }
        painter.setPen(QPen(QColor(80, 170, 255), std::max(2, px / 6)));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
        if (change.hasCar) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(255, 60, 40));
            painter.drawEllipse(place(change.car), px / 3.0, px / 3.0);
        }
    }
    return image;
}
