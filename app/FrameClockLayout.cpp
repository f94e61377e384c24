#include "app/FrameClockLayout.h"

#include <algorithm>

namespace {
constexpr int kLeft = 536;          // right of the playback-rate label (468 + 60) and a gap
constexpr int kRightOfWindow = 207; // the S button starts 199 pixels from the right edge
constexpr int kTop = 9;
constexpr int kHeight = 22;
} // namespace

QRect FrameClockRect(int cx) {
    return QRect(kLeft, kTop, std::max(0, cx - kRightOfWindow - kLeft), kHeight);
}
