#pragma once
#include "controls/CSkinnedSlider.h"
#include "controls/SliderGeometry.h"

// The play-position slider: reports dragging to its parent with
// WM_SEEK_REQUEST and keeps the seek geometry (lowest position, span and the
// thumb's x) up to date on every paint; the thumb's x goes out whenever the
// value, range or size changes, for the G-sensor cursor drawn under it.
class CVideoSlider : public CSkinnedSlider {
    Q_OBJECT
  public:
    explicit CVideoSlider(QWidget* parent = nullptr);

    // The position under x, raised to at least SeekMinimum.
    int PositionFromX(int x) const override;

    // Lowest position the slider may take, and the span above it (1000 -
    // minimum), as the last paint worked them out.
    int SeekMinimum() const { return seek_.minimum; }
    int SeekSpan() const { return seek_.span; }
    int SeekCursorX() const { return seek_.cursorX; }

  signals:
    // The thumb's x has a new value.
    void SeekCursorMoved(int x);

  protected:
    void ReportDrag() override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void sliderChange(SliderChange change) override;

  private:
    SeekGeometry Geometry() const;
    void PublishCursorX(int x);

    SeekGeometry seek_{0, 1000, 0};
};
