#pragma once
#include <QColor>
#include <QSlider>

// The play-position slider: jumps straight to the clicked point, reports
// dragging to its parent with WM_SEEK_REQUEST and publishes its geometry in
// the shared seek state (SeekState.h) on every paint.
class CVideoSlider : public QSlider {
    Q_OBJECT
  public:
    explicit CVideoSlider(QWidget* parent = nullptr);

    bool IsDragging() const { return m_bDragging; }
    QRect ChannelRect() const;
    QRect ThumbRect() const;
    // The position under x, raised to at least SeekMinimum.
    int PositionFromX(int x) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void SendSeekRequest();

    bool m_bDragging = false;
    QColor m_thumbPressed{240, 0, 180};
    QColor m_thumbNormal{100, 250, 100};
};
