#pragma once
#include "controls/CSkinnedSlider.h"

#include <QImage>

// The volume slider: drawn over a cached copy of its parent's background and
// reports dragging to its parent with WM_VOLUME_CHANGED.
class CMySliderControl : public CSkinnedSlider {
    Q_OBJECT
  public:
    explicit CMySliderControl(QWidget* parent = nullptr);

    bool HasCachedBackground() const { return !m_background.isNull(); }

  protected:
    void ReportDrag() override;
    void paintEvent(QPaintEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QImage m_background;
};
