#pragma once
#include "controls/CSkinnedSlider.h"
#include "controls/SliderGeometry.h"

// The play-position slider: reports dragging to its parent with
// WM_SEEK_REQUEST and publishes its geometry in the shared seek state
// (SeekState.h) on every paint, the cursor's place also whenever its value,
// range or size changes.
class CVideoSlider : public CSkinnedSlider {
    Q_OBJECT
  public:
    explicit CVideoSlider(QWidget* parent = nullptr);

    // The position under x, raised to at least SeekMinimum.
    int PositionFromX(int x) const override;

  signals:
    // SeekCursorX has a new value.
    void SeekCursorMoved();

  protected:
    void ReportDrag() override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void sliderChange(SliderChange change) override;

  private:
    SeekGeometry Geometry() const;
    void PublishCursorX(int x);
};
