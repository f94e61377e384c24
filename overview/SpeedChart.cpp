#include "overview/SpeedChart.h"

#include "presenter/FigureTexts.h"

#include <QDateTime>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <iterator>

namespace {
constexpr int kLeft = 40, kRight = 10, kTop = 14, kBottom = 22;
constexpr double kMarkHitPx = 7;
constexpr double kMarkRadius = 5, kCountRadius = 7;
// Steps of the time ticks, in seconds: whole units of a clock.
constexpr int64_t kTickSteps[] = {1,   2,   5,    10,   15,   30,    60,    120,   300,
                                  600, 900, 1800, 3600, 7200, 10800, 21600, 43200, 86400};
constexpr int kTickRoomPx = 70; // a tick's label and some air

QString ClockText(int64_t utcMs, bool seconds) {
    return FigureTexts::LocalTime(utcMs, seconds ? "HH:mm:ss" : "HH:mm");
}
} // namespace

SpeedChart::SpeedChart(QWidget* parent) : QWidget(parent) {
    setMinimumHeight(120);
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
}

void SpeedChart::SetTrip(std::vector<Sample> samples, std::vector<Mark> marks, int64_t startUtcMs,
                         int64_t endUtcMs) {
    samples_ = std::move(samples);
    marks_ = std::move(marks);
    hover_ = -1;
    cursorUtcMs_ = -1;
    startUtcMs_ = endUtcMs_ = 0;
    if (!samples_.empty()) {
        startUtcMs_ = samples_.front().utcMs;
        endUtcMs_ = samples_.back().utcMs;
        if (startUtcMs > 0)
            startUtcMs_ = std::min(startUtcMs_, startUtcMs);
        endUtcMs_ = std::max(endUtcMs_, endUtcMs);
    }
    update();
}

void SpeedChart::SetTexts(const FigureTexts& texts) {
    texts_ = texts;
    update();
}

void SpeedChart::SetCursor(int64_t utcMs) {
    if (samples_.empty() || utcMs < startUtcMs_ || utcMs > endUtcMs_)
        utcMs = -1;
    if (utcMs == cursorUtcMs_)
        return;
    cursorUtcMs_ = utcMs;
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
    const double span = double(std::max<int64_t>(1, endUtcMs_ - startUtcMs_));
    return {area.left() + area.width() * double(utcMs - startUtcMs_) / span,
            YOf(texts_.SpeedValue(kmh))};
}

std::vector<int64_t> SpeedChart::Ticks() const {
    std::vector<int64_t> ticks;
    if (samples_.empty())
        return ticks;
    const int64_t span = endUtcMs_ - startUtcMs_;
    const int room = std::max(2, int(PlotArea().width()) / kTickRoomPx);
    int64_t step = std::end(kTickSteps)[-1] * 1000;
    for (int64_t s : kTickSteps)
        if (span / (s * 1000) < room) {
            step = s * 1000;
            break;
        }
    // On the local clock's whole steps, clear of the ends' own labels.
    const int64_t zone =
        QDateTime::fromMSecsSinceEpoch(startUtcMs_, Qt::LocalTime).offsetFromUtc() * 1000LL;
    const int64_t clear = step / 2;
    ticks.push_back(startUtcMs_);
    const int64_t local = startUtcMs_ + zone;
    for (int64_t t = (local / step + 1) * step - zone; t < endUtcMs_; t += step)
        if (t - startUtcMs_ >= clear && endUtcMs_ - t >= clear)
            ticks.push_back(t);
    if (endUtcMs_ > startUtcMs_)
        ticks.push_back(endUtcMs_);
    return ticks;
}

QString SpeedChart::ReadOut() const {
    if (hover_ < 0 || size_t(hover_) >= samples_.size())
        return {};
    const Sample& s = samples_[size_t(hover_)];
    return ClockText(s.utcMs, true) + QStringLiteral("  ") + texts_.Speed(s.kmh);
}

void SpeedChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    if (samples_.empty())
        return;
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF area = PlotArea();
    const double top = TopValue();
    for (double v = 0; v <= top; v += top / 4) {
        const double y = YOf(v);
        p.setPen(QPen(palette().mid().color(), 1, Qt::DotLine));
        p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        p.setPen(palette().text().color());
        p.drawText(QRectF(0, y - 8, kLeft - 4, 16), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(int(v)));
    }
    p.setPen(palette().text().color());
    p.drawText(QRectF(area.left(), 0, 80, kTop), Qt::AlignLeft | Qt::AlignVCenter,
               texts_.SpeedUnitName());
    PaintTicks(p);

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

    if (cursorUtcMs_ >= 0) {
        const double x = PointOf(cursorUtcMs_, 0).x();
        p.setPen(QPen(palette().text().color(), 2));
        p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    }
    PaintMarks(p);

    const QString readOut = ReadOut();
    if (!readOut.isEmpty()) {
        const Sample& s = samples_[size_t(hover_)];
        const QPointF at = PointOf(s.utcMs, s.kmh);
        p.setPen(QPen(palette().mid().color(), 1));
        p.drawLine(QPointF(at.x(), area.top()), QPointF(at.x(), area.bottom()));
        p.setBrush(QColor(0x15, 0x65, 0xc0));
        p.drawEllipse(at, 3, 3);
        const QFontMetrics metrics(font());
        QRectF box(0, 0, metrics.horizontalAdvance(readOut) + 8, metrics.height() + 2);
        box.moveTopRight(QPointF(area.right(), 0));
        p.fillRect(box, palette().base());
        p.setPen(palette().text().color());
        p.drawText(box, Qt::AlignCenter, readOut);
    }
}

void SpeedChart::PaintTicks(QPainter& p) const {
    const QRectF area = PlotArea();
    const std::vector<int64_t> ticks = Ticks();
    const bool seconds = ticks.size() > 2 && ticks[2] - ticks[1] < 60000;
    for (size_t i = 0; i < ticks.size(); ++i) {
        const double x = PointOf(ticks[i], 0).x();
        p.setPen(palette().mid().color());
        p.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + 3));
        p.setPen(palette().text().color());
        // The ends say the trip's own start and end to the second.
        const bool end = i == 0 || i + 1 == ticks.size();
        const Qt::Alignment side = i == 0                  ? Qt::AlignLeft
                                   : i + 1 == ticks.size() ? Qt::AlignRight
                                                           : Qt::AlignHCenter;
        QRectF box(0, area.bottom() + 3, kTickRoomPx, kBottom - 3);
        if (side == Qt::AlignLeft)
            box.moveLeft(x);
        else if (side == Qt::AlignRight)
            box.moveRight(x);
        else
            box.moveLeft(x - kTickRoomPx / 2.0);
        p.drawText(box, side | Qt::AlignTop, ClockText(ticks[i], end || seconds));
    }
}

void SpeedChart::PaintMarks(QPainter& p) const {
    const QRectF area = PlotArea();
    QFont small = font();
    small.setPixelSize(9);
    small.setBold(true);
    p.setFont(small);
    for (const Mark& m : marks_) {
        const double x = PointOf(m.utcMs, 0).x();
        p.setPen(QPen(m.colour, 1.5, Qt::DashLine));
        p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        p.setPen(Qt::white);
        p.setBrush(m.colour);
        const double r = m.count > 1 ? kCountRadius : kMarkRadius;
        p.drawEllipse(QPointF(x, area.top()), r, r);
        if (m.count > 1)
            p.drawText(QRectF(x - r, area.top() - r, 2 * r, 2 * r), Qt::AlignCenter,
                       QString::number(m.count));
    }
    p.setFont(font());
}

int SpeedChart::MarkAt(double x) const {
    int found = -1;
    double best = kMarkHitPx;
    // The last drawn lies on top: it wins a tie.
    for (size_t i = 0; i < marks_.size(); ++i) {
        const double d = std::abs(PointOf(marks_[i].utcMs, 0).x() - x);
        if (d <= best) {
            best = d;
            found = int(i);
        }
    }
    return found;
}

size_t SpeedChart::SampleAt(double x) const {
    const auto nearest =
        std::min_element(samples_.begin(), samples_.end(), [&](const Sample& a, const Sample& b) {
            return std::abs(PointOf(a.utcMs, 0).x() - x) < std::abs(PointOf(b.utcMs, 0).x() - x);
        });
    return size_t(std::distance(samples_.begin(), nearest));
}

void SpeedChart::mousePressEvent(QMouseEvent* event) {
    if (samples_.empty())
        return;
    const QPointF at = event->position();
    // Event marks first: they sit on the line and are the smaller target.
    const int mark = MarkAt(at.x());
    const int markEvent = mark >= 0 ? marks_[size_t(mark)].event : -1;
    if (event->button() == Qt::RightButton) {
        if (markEvent >= 0)
            emit EventMenuRequested(markEvent, event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (markEvent >= 0) {
        emit EventClicked(markEvent);
        return;
    }
    const QRectF area = PlotArea();
    if (at.x() < area.left() - kMarkHitPx || at.x() > area.right() + kMarkHitPx)
        return;
    const Sample& nearest = samples_[SampleAt(at.x())];
    emit MomentClicked(nearest.recording, nearest.offsetMs);
}

void SpeedChart::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    const QRectF area = PlotArea();
    int hover = -1;
    if (!samples_.empty() && at.x() >= area.left() && at.x() <= area.right())
        hover = int(SampleAt(at.x()));
    const int mark = samples_.empty() ? -1 : MarkAt(at.x());
    if (mark >= 0)
        QToolTip::showText(event->globalPosition().toPoint(), marks_[size_t(mark)].tip, this);
    else
        QToolTip::hideText();
    if (hover != hover_) {
        hover_ = hover;
        update();
    }
}

void SpeedChart::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (hover_ >= 0) {
        hover_ = -1;
        update();
    }
}
