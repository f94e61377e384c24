#pragma once
#include "presenter/FigureTexts.h"

#include <QColor>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

// A trip's speed over time with its events marked, time ticks along the
// bottom and a cursor at the moment playing. Hovering reads out the time
// and speed under the pointer, or a mark's tip. A click on the line asks for
// the moment under it, a click on an event mark for that event, a right
// click on one for its menu.
class SpeedChart : public QWidget {
    Q_OBJECT
  public:
    struct Sample {
        int64_t utcMs = 0;
        float kmh = 0;
        int recording = -1;
        uint32_t offsetMs = 0;
    };
    struct Mark {
        int64_t utcMs = 0;
        int event = -1; // index the owner gave it
        QColor colour;
        int count = 1; // events in the mark
        QString tip;
    };

    explicit SpeedChart(QWidget* parent = nullptr);

    // The trip's samples and marks (the one drawn on top last), from its
    // start to its end; the ends widen to the samples' own.
    void SetTrip(std::vector<Sample> samples, std::vector<Mark> marks, int64_t startUtcMs = 0,
                 int64_t endUtcMs = 0);
    void Clear() { SetTrip({}, {}); }
    // The unit of the speed axis and the read-out.
    void SetTexts(const FigureTexts& texts);
    // The moment playing, or none (a negative time).
    void SetCursor(int64_t utcMs);
    int64_t CursorUtc() const { return cursorUtcMs_; }

    // Where a time and a speed are drawn, in widget pixels (for tests and
    // hit-testing); the plot area when empty.
    QPointF PointOf(int64_t utcMs, double kmh) const;
    QRectF PlotArea() const;
    int SampleCount() const { return int(samples_.size()); }
    int MarkCount() const { return int(marks_.size()); }
    // The time ticks' moments, the last one the trip's end.
    std::vector<int64_t> Ticks() const;
    // What the hover reads out: "08:00:42  63 km/h", or "" when not over
    // the line.
    QString ReadOut() const;

  signals:
    void MomentClicked(int recording, uint32_t offsetMs);
    void EventClicked(int event);
    // A right click on an event mark, at the screen's point.
    void EventMenuRequested(int event, QPoint globalAt);

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    QSize sizeHint() const override { return {420, 160}; }

  private:
    // The top of the speed axis, in the shown unit.
    double TopValue() const;
    // Where a speed in the shown unit is drawn.
    double YOf(double value) const;
    // The mark at x, the one on top; -1 when none.
    int MarkAt(double x) const;
    // The sample nearest x.
    size_t SampleAt(double x) const;
    void PaintTicks(QPainter& p) const;
    void PaintMarks(QPainter& p) const;

    std::vector<Sample> samples_;
    std::vector<Mark> marks_;
    int64_t startUtcMs_ = 0, endUtcMs_ = 0;
    int64_t cursorUtcMs_ = -1;
    int hover_ = -1; // the sample read out, or -1
    FigureTexts texts_;
};
