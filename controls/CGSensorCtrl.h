#pragma once
#include "controls/GSensorCurveMath.h"
#include "controls/GSensorGraphCache.h"

#include <QRect>
#include <QWidget>
#include <array>

// The strip below the videos: one acceleration curve per axis, a scale in G,
// legend boxes with the current values that switch their axis on and off, and
// the playback cursor, which follows the position slider's thumb.
class CGSensorCtrl : public QWidget, public GSensorCurveView {
    Q_OBJECT
  public:
    static constexpr int kControlId = 1003;

    explicit CGSensorCtrl(QWidget* parent = nullptr);

    GSensorCurveState& CurveState() override { return m_state; }
    const GSensorCurveState& CurveState() const { return m_state; }
    void RecalcScale() override;
    bool SetPosition(int milliseconds) override;
    void Redraw() override { update(); }

    // The legend boxes of X, Y and Z as the last paint placed them.
    const std::array<QRect, 3>& LegendBoxes() const { return m_legendBoxes; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    GSensorCurveState m_state;
    GSensorPlot m_plot;
    GSensorGraphCache m_graph;
    std::array<QRect, 3> m_legendBoxes;
};
