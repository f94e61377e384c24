#pragma once
#include "controls/CSkinnedSlider.h"

// The play-position slider: reports dragging to its parent with
// WM_SEEK_REQUEST and publishes its geometry in the shared seek state
// (SeekState.h) on every paint.
class CVideoSlider : public CSkinnedSlider {
    Q_OBJECT
  public:
    explicit CVideoSlider(QWidget* parent = nullptr);

    // The position under x, raised to at least SeekMinimum.
    int PositionFromX(int x) const override;

  protected:
    void ReportDrag() override;
    void paintEvent(QPaintEvent* event) override;
};
