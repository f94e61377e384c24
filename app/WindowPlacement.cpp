#include "app/WindowPlacement.h"

#include <algorithm>

QRect RestoredWindowRect(int left, int top, int right, int bottom, QSize screen) {
    const int width = std::min(std::max(right - left, kMinWindowWidth), screen.width());
    const int height = std::min(std::max(bottom - top, kMinWindowHeight), screen.height());
    const int x = left > screen.width() - width ? screen.width() - width : std::max(left, 0);
    const int y = top > screen.height() - height ? screen.height() - height : std::max(top, 0);
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
