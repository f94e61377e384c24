#pragma once
#include <QColor>
#include <QImage>
#include <QSlider>

// The volume slider: drawn over a cached copy of its parent's background,
// jumps to the clicked point and reports dragging to its parent with
// WM_VOLUME_CHANGED.
class CMySliderControl : public QSlider {
    Q_OBJECT
  public:
    explicit CMySliderControl(QWidget* parent = nullptr);

    bool IsDragging() const { return m_bDragging; }
    bool HasCachedBackground() const { return !m_background.isNull(); }
    QRect ChannelRect() const;
    QRect ThumbRect() const;
    int PositionFromX(int x) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void SendVolumeChanged();

    bool m_bDragging = false;
    QColor m_thumbPressed{170, 0, 0};
    QColor m_thumbNormal{255, 0, 0};
    QImage m_background;
};
