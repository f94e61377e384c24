#include "controls/CFrameClockStatic.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStringList>
#include <algorithm>

namespace {
constexpr int kGap = 8;
constexpr int kLargestPoints = 10;
constexpr int kSmallestPoints = 6;
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

QRect CFrameClockStatic::FreeRect() const {
    QRect free = rect();
    if (obstacle_ && obstacle_->isVisible() && (!obstacleShows_ || obstacleShows_()) &&
        obstacle_->parentWidget() == parentWidget()) {
        const int right = obstacle_->geometry().right() + 1 + kGap - x();
        if (right > free.left())
            free.setLeft(right);
    }
    return free;
}

void CFrameClockStatic::paintEvent(QPaintEvent*) {
    if (text_.isEmpty())
        return;
    const QRect free = FreeRect();
    if (free.width() <= 0)
        return;
    QPainter p(this);
    p.setPen(kTextColor);
    QFont font(QStringLiteral("Arial"), kLargestPoints, QFont::Bold);
    p.setFont(font);
    if (QFontMetrics(font).horizontalAdvance(text_) <= free.width()) {
        p.drawText(free, Qt::AlignCenter, text_);
        return;
    }
    // Time above position, as large as both fit.
    const QStringList lines = text_.split(QStringLiteral("  "));
    for (int points = kLargestPoints - 1; points >= kSmallestPoints; --points) {
        font.setPointSize(points);
        const QFontMetrics m(font);
        int widest = 0;
        for (const QString& line : lines)
            widest = std::max(widest, m.horizontalAdvance(line));
        if ((widest <= free.width() && m.height() * lines.size() <= free.height()) ||
            points == kSmallestPoints)
            break;
    }
    p.setFont(font);
    p.drawText(free, Qt::AlignCenter, lines.join('\n'));
}
