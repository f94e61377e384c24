#include "controls/FrameClockFit.h"

#include <QFontMetrics>
#include <algorithm>

namespace {

constexpr int kLargestPoints = 10;
constexpr int kReadablePoints = 8; // two lines beside the read-outs, no smaller
constexpr int kSmallestPoints = 6;

// The box of `lines` in `font`, centred in `room`, when they fit whole.
bool Fits(const QFont& font, const QStringList& lines, QRect room, QRect* box) {
    const QFontMetrics m(font);
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, m.horizontalAdvance(line));
    const int height = m.height() * int(lines.size());
    if (widest > room.width() || height > room.height())
        return false;
    *box = QRect(room.left() + (room.width() - widest) / 2,
                 room.top() + (room.height() - height) / 2, widest, height);
    return true;
}

} // namespace

FrameClockFit FitFrameClock(const QString& text, QRect beside, QRect below) {
    FrameClockFit fit;
    fit.font = QFont(QStringLiteral("Arial"), kLargestPoints, QFont::Bold);
    const QStringList oneLine{text};
    const QStringList twoLines = text.split(QStringLiteral("  "));
    const auto tryIn = [&](QRect room, const QStringList& lines, int largest, int smallest) {
        for (int points = largest; points >= smallest; --points) {
            fit.font.setPointSize(points);
            if (Fits(fit.font, lines, room, &fit.rect)) {
                fit.lines = lines;
                return true;
            }
        }
        return false;
    };
    if (tryIn(beside, oneLine, kLargestPoints, kLargestPoints) ||
        tryIn(beside, twoLines, kLargestPoints - 1, kReadablePoints) ||
        tryIn(below, oneLine, kLargestPoints, kSmallestPoints) ||
        tryIn(beside, twoLines, kReadablePoints - 1, kSmallestPoints))
        return fit;
    fit.font.setPointSize(kSmallestPoints);
    fit.lines = twoLines;
    fit.rect = beside;
    return fit;
}
