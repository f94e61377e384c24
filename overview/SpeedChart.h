#pragma once
#include "presenter/FigureTexts.h"

#include <QWidget>
#include <cstdint>
#include <vector>

// A trip's speed over time with its events marked. A click on the line asks
// for the moment under it, a click on an event mark for that event, a right
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
    };

    explicit SpeedChart(QWidget* parent = nullptr);

    void SetTrip(std::vector<Sample> samples, std::vector<Mark> marks);
    void Clear() { SetTrip({}, {}); }
    // The unit of the speed axis.
    void SetTexts(const FigureTexts& texts);

    // Where a time and a speed are drawn, in widget pixels (for tests and
    // hit-testing); the plot area when empty.
    QPointF PointOf(int64_t utcMs, double kmh) const;
    QRectF PlotArea() const;
    int SampleCount() const { return int(samples_.size()); }

  signals:
    void MomentClicked(int recording, uint32_t offsetMs);
    void EventClicked(int event);
    // A right click on an event mark, at the screen's point.
    void EventMenuRequested(int event, QPoint globalAt);

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    QSize sizeHint() const override { return {420, 160}; }

  private:
    // The top of the speed axis, in the shown unit.
    double TopValue() const;
    // Where a speed in the shown unit is drawn.
    double YOf(double value) const;
    // The owner's index of the event mark at x, or -1.
    int EventAt(double x) const;
    std::vector<Sample> samples_;
    std::vector<Mark> marks_;
    FigureTexts texts_;
};
