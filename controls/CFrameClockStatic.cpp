#include "controls/CFrameClockStatic.h"

#include <QPainter>

namespace {
constexpr int kGap = 8;
const QColor kTextColor(230, 230, 230);
} // namespace

CFrameClockStatic::CFrameClockStatic(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CFrameClockStatic::SetText(const QString& text) {
    if (text == text_)
        return;
    text_ = text;
    update();
}

void CFrameClockStatic::SetRooms(QRect beside, QRect below) {
    beside_ = beside;
    below_ = below;
    update();
}

QRect CFrameClockStatic::BesideRoom() const {
    QRect free = beside_.isEmpty() ? rect() : beside_;
    if (obstacle_ && obstacle_->isVisible() && (!obstacleShows_ || obstacleShows_()) &&
        obstacle_->parentWidget() == parentWidget()) {
        const int right = obstacle_->geometry().right() + 1 + kGap - x();
        if (right > free.left())
            free.setLeft(right);
    }
    return free;
}

FrameClockFit CFrameClockStatic::Fit() const {
    return FitFrameClock(text_, BesideRoom(), below_);
}

QRect CFrameClockStatic::TextRect() const {
    if (text_.isEmpty())
        return QRect();
    return Fit().rect.translated(pos());
}

void CFrameClockStatic::paintEvent(QPaintEvent*) {
    if (text_.isEmpty())
        return;
    const FrameClockFit fit = Fit();
    if (fit.rect.width() <= 0)
        return;
    QPainter p(this);
    p.setPen(kTextColor);
    p.setFont(fit.font);
    p.drawText(fit.rect, Qt::AlignCenter, fit.lines.join('\n'));
}
