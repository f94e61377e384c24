#include "overview/SpeedChart.h"

#include <QDateTime>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {
constexpr int kLeft = 40, kRight = 10, kTop = 14, kBottom = 22;
constexpr double kMarkHitPx = 7;
} // namespace

SpeedChart::SpeedChart(QWidget* parent) : QWidget(parent) {
    setMinimumHeight(120);
    setCursor(Qt::PointingHandCursor);
}

void SpeedChart::SetTrip(std::vector<Sample> samples, std::vector<Mark> marks) {
    samples_ = std::move(samples);
    marks_ = std::move(marks);
    update();
}

void SpeedChart::SetTexts(const FigureTexts& texts) {
    texts_ = texts;
    update();
}

QRectF SpeedChart::PlotArea() const {
    return QRectF(kLeft, kTop, std::max(1, width() - kLeft - kRight),
                  std::max(1, height() - kTop - kBottom));
}

// The axis ends at the next multiple of 20 above the fastest sample.
double SpeedChart::TopValue() const {
    double top = 0;
    for (const Sample& s : samples_)
        top = std::max(top, texts_.SpeedValue(s.kmh));
    return std::max(20.0, std::ceil(top / 20.0) * 20.0);
}

double SpeedChart::YOf(double value) const {
    const QRectF area = PlotArea();
    return area.bottom() - area.height() * value / TopValue();
}

QPointF SpeedChart::PointOf(int64_t utcMs, double kmh) const {
    const QRectF area = PlotArea();
    if (samples_.empty())
        return area.topLeft();
    const int64_t first = samples_.front().utcMs, last = samples_.back().utcMs;
    const double span = std::max<int64_t>(1, last - first);
    return {area.left() + area.width() * double(utcMs - first) / span, YOf(texts_.SpeedValue(kmh))};
}

void SpeedChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    if (samples_.empty())
        return;
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF area = PlotArea();
    const double top = TopValue();
    p.setPen(QPen(palette().mid().color(), 1, Qt::DotLine));
    for (double v = 0; v <= top; v += top / 4) {
        const double y = YOf(v);
        p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        p.setPen(palette().text().color());
        p.drawText(QRectF(0, y - 8, kLeft - 4, 16), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(int(v)));
        p.setPen(QPen(palette().mid().color(), 1, Qt::DotLine));
    }
    p.setPen(palette().text().color());
    const auto timeText = [](int64_t ms) {
        return QDateTime::fromMSecsSinceEpoch(ms, Qt::LocalTime).toString(QStringLiteral("HH:mm"));
    };
    p.drawText(QRectF(area.left(), area.bottom() + 2, 60, kBottom - 2), Qt::AlignLeft,
               timeText(samples_.front().utcMs));
    p.drawText(QRectF(area.right() - 60, area.bottom() + 2, 60, kBottom - 2), Qt::AlignRight,
               timeText(samples_.back().utcMs));
    p.drawText(QRectF(area.left(), 0, 80, kTop), Qt::AlignLeft | Qt::AlignVCenter,
               texts_.SpeedUnitName());

    QPainterPath line;
    for (size_t i = 0; i < samples_.size(); ++i) {
        const QPointF at = PointOf(samples_[i].utcMs, samples_[i].kmh);
        if (i == 0)
            line.moveTo(at);
        else
            line.lineTo(at);
    }
    p.setPen(QPen(QColor(0x15, 0x65, 0xc0), 1.5));
    p.drawPath(line);

    for (const Mark& m : marks_) {
        const double x = PointOf(m.utcMs, 0).x();
        p.setPen(QPen(m.colour, 1.5, Qt::DashLine));
        p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        p.setPen(Qt::white);
        p.setBrush(m.colour);
        p.drawEllipse(QPointF(x, area.top()), 5, 5);
    }
}

int SpeedChart::EventAt(double x) const {
    for (const Mark& m : marks_)
        if (std::abs(PointOf(m.utcMs, 0).x() - x) <= kMarkHitPx)
            return m.event;
    return -1;
}

void SpeedChart::mousePressEvent(QMouseEvent* event) {
    if (samples_.empty())
        return;
    const QPointF at = event->position();
    // Event marks first: they sit on the line and are the smaller target.
    const int mark = EventAt(at.x());
    if (event->button() == Qt::RightButton) {
        if (mark >= 0)
            emit EventMenuRequested(mark, event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (mark >= 0) {
        emit EventClicked(mark);
        return;
    }
    const QRectF area = PlotArea();
    if (at.x() < area.left() - kMarkHitPx || at.x() > area.right() + kMarkHitPx)
        return;
    const auto nearest =
        std::min_element(samples_.begin(), samples_.end(), [&](const Sample& a, const Sample& b) {
            return std::abs(PointOf(a.utcMs, 0).x() - at.x()) <
                   std::abs(PointOf(b.utcMs, 0).x() - at.x());
        });
    emit MomentClicked(nearest->recording, nearest->offsetMs);
}
