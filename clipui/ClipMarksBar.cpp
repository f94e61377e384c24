#include "clipui/ClipMarksBar.h"

#include "controls/SliderGeometry.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>

ClipMarksBar::ClipMarksBar(QWidget* slider) : QWidget(slider) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setObjectName("clipMarks");
    setGeometry(slider->rect());
    slider->installEventFilter(this);
    raise();
    show();
}

void ClipMarksBar::SetMarks(std::optional<double> start, std::optional<double> end) {
    if (start == start_ && end == end_)
        return;
    start_ = start;
    end_ = end;
    update();
}

bool ClipMarksBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return false;
}

void ClipMarksBar::paintEvent(QPaintEvent*) {
    if (!start_ && !end_)
        return;
    QPainter painter(this);
    // The thumb's channel, so a mark sits where the thumb stands at that time.
    const QRect channel = SliderChannelRect(size(), false);
    const auto x = [channel](double share) {
        return channel.left() + std::clamp(share, 0.0, 1.0) * channel.width();
    };
    if (start_ && end_ && *end_ > 0 && *start_ < 1) {
        painter.fillRect(QRectF(x(*start_), height() * 0.35, x(*end_) - x(*start_), height() * 0.3),
                         QColor(255, 200, 0, 110));
    }
    const auto tick = [&](std::optional<double> share, QColor color, bool opening) {
        if (!share || *share < 0 || *share > 1)
            return;
        const double at = x(*share);
        painter.setPen(QPen(color, 2));
        painter.drawLine(QPointF(at, 0), QPointF(at, height()));
        // A bracket's foot shows which way the clip runs.
        const double foot = opening ? 5 : -5;
        painter.drawLine(QPointF(at, 1), QPointF(at + foot, 1));
        painter.drawLine(QPointF(at, height() - 1), QPointF(at + foot, height() - 1));
    };
    tick(start_, QColor(40, 200, 60), true);
    tick(end_, QColor(230, 50, 40), false);
}
