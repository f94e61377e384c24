#include "app/WindowPlacement.h"

#include <algorithm>

QRect RestoredWindowRect(int left, int top, int right, int bottom, const QRect& area) {
    const int width = std::min(std::max(right - left, kMinWindowWidth), area.width());
    const int height = std::min(std::max(bottom - top, kMinWindowHeight), area.height());
    const int lastX = area.left() + area.width() - width;
    const int lastY = area.top() + area.height() - height;
    const int x = left > lastX ? lastX : std::max(left, area.left());
    const int y = top > lastY ? lastY : std::max(top, area.top());
    return QRect(x, y, width, height);
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
