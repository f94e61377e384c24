#include "app/window/FrameClockLayout.h"

#include <algorithm>

namespace {
// Right of the speed read-out (377 + 81) and a gap; the clock itself leaves
// free the playback-rate label in the strip while that one shows.
constexpr int kLeft = 466;
constexpr int kRightOfWindow = 207; // the S button starts 199 pixels from the right edge
constexpr int kTop = 4;
constexpr int kHeight = 32;
} // namespace

QRect FrameClockRect(int cx) {
    return QRect(kLeft, kTop, std::max(0, cx - kRightOfWindow - kLeft), kHeight);
}
