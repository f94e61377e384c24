#include "app/WindowPlacement.h"

#include <algorithm>

QRect RestoredWindowRect(int left, int top, int right, int bottom, QSize screen) {
    const int width = std::min(std::max(right - left, kMinWindowWidth), screen.width());
    const int height = std::min(std::max(bottom - top, kMinWindowHeight), screen.height());
    const int x = left > screen.width() - width ? screen.width() - width : std::max(left, 0);
    const int y = top > screen.height() - height ? screen.height() - height : std::max(top, 0);
    return QRect(x, y, width, height);
}
