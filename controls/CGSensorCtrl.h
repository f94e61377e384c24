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
    // Repaints what the state changed: the whole strip when the graph did,
    // else the legend and the cursor's old and new columns.
    void Redraw() override;
    // The slider's thumb moved to x: the cursor follows.
    void FollowSeekCursor(int x);
    // After a seek the cursor follows the thumb even at position 0, until
    // the next paint.
    void NoteSeek() { m_seekHappened = true; }

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
    // Where the cursor goes now; reads the seek mark without clearing it.
    int CursorX() const;
    // Repaints the cursor's old and new columns when it moved.
    void ShowCursor();
    QRect CursorRect(int x) const;
    // The band of the legend, whose texts and box widths change with the values.
    QRect LegendBand() const;
    // What the legend shows: values and whether each axis is active.
    std::array<double, 6> LegendContent() const;

    GSensorCurveState m_state;
    GSensorPlot m_plot;
    GSensorGraphCache m_graph;
    std::array<QRect, 3> m_legendBoxes;
    // What the screen shows once the requested repaints are done: the
    // cursor's column and the legend's content.
    int m_shownCursorX = -1;
    // The position slider's thumb x, which the cursor follows.
    int m_seekCursorX = 0;
    bool m_seekHappened = false;
    std::array<double, 6> m_shownLegend{};
};
