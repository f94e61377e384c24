#include "app/window/WindowPlacement.h"

#include <algorithm>
#include <cstdint>

QRect RestoredWindowRect(int left, int top, int right, int bottom, const QRect& area) {
    // In 64 bits: the saved edges are whatever the file holds.
    const int64_t width =
        std::min<int64_t>(std::max<int64_t>(int64_t(right) - left, kMinWindowWidth), area.width());
    const int64_t height = std::min<int64_t>(
        std::max<int64_t>(int64_t(bottom) - top, kMinWindowHeight), area.height());
    const int64_t lastX = int64_t(area.left()) + area.width() - width;
    const int64_t lastY = int64_t(area.top()) + area.height() - height;
    const int64_t x = left > lastX ? lastX : std::max(left, area.left());
    const int64_t y = top > lastY ? lastY : std::max(top, area.top());
    return QRect(int(x), int(y), int(width), int(height));
}

QRect PresetWindowRect(WindowPreset preset, const QRect& monitor) {
    const int w = monitor.width(), h = monitor.height();
    switch (preset) {
    case WindowPreset::Small:
        return QRect(monitor.left() + (w - kMinWindowWidth) / 2,
                     monitor.top() + (h - kMinWindowHeight) / 2, kMinWindowWidth, kMinWindowHeight);
    case WindowPreset::Medium:
        return QRect(monitor.left() + w / 8, monitor.top() + h / 8,
                     std::max(w * 4 / 5, kMinWindowWidth), std::max(h * 4 / 5, kMinWindowHeight));
    case WindowPreset::Large:
        break;
    }
    return monitor;
}
