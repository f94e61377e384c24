#include "app/window/FrameClockLayout.h"

#include <algorithm>

namespace {
// Right of the GPS indicator (285 + 29) and a gap.
constexpr int kLeft = 322;
// Right of the speed read-out (377 + 81) and a gap.
constexpr int kBesideLeft = 466;
constexpr int kRightOfWindow = 207; // the S button starts 199 pixels from the right edge
constexpr int kBesideTop = 4;
constexpr int kBesideHeight = 32;
constexpr int kBelowTop = 36; // the speed read-out ends at 3 + 33
constexpr int kStripHeight = 48;

int Width(int cx) {
    return std::max(0, cx - kRightOfWindow - kLeft);
}
} // namespace

QRect FrameClockRect(int cx) {
    return QRect(kLeft, 0, Width(cx), kStripHeight);
}

QRect FrameClockBeside(int cx) {
    const int left = kBesideLeft - kLeft;
    return QRect(left, kBesideTop, std::max(0, Width(cx) - left), kBesideHeight);
}

QRect FrameClockBelow(int cx) {
    return QRect(0, kBelowTop, Width(cx), kStripHeight - kBelowTop);
}
