#include "controls/GSensorCurvePainter.h"

#include "controls/GSensorCurveColors.h"

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace {

// Lines here end one pixel short of their end point, so an axis from the
// plot's left to its right edge covers exactly the plot width.
void HLine(QPainter& p, int x1, int x2, int y, const QColor& c) {
    if (x2 > x1)
        p.fillRect(x1, y, x2 - x1, 1, c);
}

void VLine(QPainter& p, int x, int y1, int y2, const QColor& c) {
    if (y2 > y1)
        p.fillRect(x, y1, 1, y2 - y1, c);
}

void DrawTicks(QPainter& p, const GSensorPlot& plot, int windowMs) {
    const double n = windowMs / 200.0;
    if (!(n > 0))
        return;
    // Marks that land on one column draw over each other; keep the longest,
    // which leaves the same pixels with one line per column.
    std::vector<int> longest(size_t(std::max(plot.width, 0)) + 1, 0);
    for (int i = 0; i < n; ++i) {
        const int col = int(double(plot.width) * i / n);
        if (col >= 0 && col < int(longest.size()))
            longest[size_t(col)] = std::max(longest[size_t(col)], GSensorTickLength(i));
    }
    for (size_t col = 0; col < longest.size(); ++col) {
        const int len = longest[col];
        if (len == 0)
            continue;
        const int x = int(col) + plot.left;
        for (int y : {plot.top, plot.y0, plot.bottom})
            VLine(p, x, y - len, y, GSensorColors::kAxis);
    }
}

// A font given, as the strip's fonts are, by the height of its character
// cell. Kept per height: the strip repaints on every playback tick.
QFont CellHeightFont(int cellHeight) {
    static std::map<int, QFont> made;
    const auto found = made.find(cellHeight);
    if (found != made.end())
        return found->second;
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Normal);
    font.setPixelSize(100);
    const QFontMetricsF m(font);
    const double cell = m.ascent() + m.descent();
    font.setPixelSize(std::max(1, int(std::lround(cellHeight * 100.0 / cell))));
    return made.emplace(cellHeight, font).first->second;
}

// Text whose cell is first filled with the background colour.
QSize OpaqueText(QPainter& p, int x, int y, const QString& text, const QColor& color,
                 const QColor& background) {
    const QFontMetrics m(p.font());
    const QSize size(m.horizontalAdvance(text), m.height());
    p.fillRect(QRect(QPoint(x, y), size), background);
    p.setPen(color);
    p.drawText(x, y + m.ascent(), text);
    return size;
}

void Frame3d(QPainter& p, const QRect& r, const QColor& light, const QColor& dark) {
    const int l = r.left(), t = r.top(), w = r.width(), h = r.height();
    p.fillRect(l, t, w - 1, 1, light);
    p.fillRect(l, t, 1, h - 1, light);
    p.fillRect(l + w - 1, t, 1, h, dark);
    p.fillRect(l, t + h - 1, w, 1, dark);
}

} // namespace

void DrawGSensorGraph(QPainter& p, QSize client, const GSensorCurveState& state,
                      GSensorCurveDrawing drawing) {
    p.fillRect(QRect(QPoint(0, 0), client), GSensorColors::kBackground);
    const GSensorPlot plot = GSensorPlot::FromClient(client);
    HLine(p, plot.x0, plot.x0 + plot.width, plot.y0, GSensorColors::kZeroLine);
    VLine(p, plot.left, plot.top, plot.bottom, GSensorColors::kAxis);
    DrawTicks(p, plot, GSensorTickWindow(state, plot.width));
    DrawGSensorCurves(p, plot, state, drawing);
}

void DrawGSensorCursor(QPainter& p, const GSensorPlot& plot, int x) {
    const int top = plot.top - 4, bottom = plot.bottom + 4;
    if (bottom > top)
        p.fillRect(x - 1, top, 2, bottom - top, GSensorColors::kCursor);
}

std::array<QRect, 3> DrawGSensorLabels(QPainter& p, QSize client, const GSensorCurveState& state) {
    p.save();
    p.setFont(CellHeightFont(10));
    const int r = (client.height() - 20) / 6;
    const QColor& fg = GSensorColors::kScaleText;
    const QColor& bg = GSensorColors::kBackground;
    OpaqueText(p, 4, r + 10, QString::asprintf(" %1.0fG", state.range), fg, bg);
    OpaqueText(p, 4, 3 * r + 10, QString::asprintf(" %0.0fG", 0.0), fg, bg);
    OpaqueText(p, 4, 5 * r + 10, QString::asprintf("-%1.0fG", state.range), fg, bg);

    p.setFont(CellHeightFont(13));
    const QFontMetrics m(p.font());
    const std::array<double, 3> values = GSensorCurrentValues(state);
    const double duration = GSensorDuration(state);
    static const char* const kLetters[3] = {"X", "Y", "Z"};
    std::array<QRect, 3> boxes;
    int x = 40;
    for (int a = 0; a < 3; ++a) {
        const QString text = QString::asprintf("%s: %0.4f G    ", kLetters[a], values[size_t(a)]);
        const int cx = m.horizontalAdvance(text), cy = m.height();
        const bool active = !state.stopped && state.axisVisible[a] && duration != 0;
        const int d = active ? 1 : 0;
        const QRect frame = QRect(x, 2, cx, cy).adjusted(-1, -1, 1, 1).translated(d, d);
        if (active)
            Frame3d(p, frame, GSensorColors::kActiveFrameLight, GSensorColors::kActiveFrameDark);
        else
            Frame3d(p, frame, GSensorColors::kInactiveFrameLight,
                    GSensorColors::kInactiveFrameDark);
        boxes[size_t(a)] = QRect(x + d, 2 + d, cx, cy);
        OpaqueText(p, x + d, 2 + d, text,
                   active ? GSensorColors::kCurve[a] : GSensorColors::kInactiveText,
                   GSensorColors::kLegendBackground);
        x += cx + 8;
    }
    p.restore();
    return boxes;
}
