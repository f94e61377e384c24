#include "controls/SunkenEdge.h"

#include <QPainter>

namespace {
void Bevel(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    p.fillRect(QRect(r.right(), r.top() + 1, 1, r.height() - 1), bottomRight);
}
} // namespace

QRect DrawSunkenEdge(QPainter& painter, const QRect& rect) {
    if (rect.width() < 4 || rect.height() < 4)
        return rect;
    Bevel(painter, rect, QColor(11, 12, 14), QColor(74, 82, 94));
    const QRect inner = rect.adjusted(1, 1, -1, -1);
    Bevel(painter, inner, QColor(0, 0, 0), QColor(48, 54, 63));
    return inner.adjusted(1, 1, -1, -1);
}
