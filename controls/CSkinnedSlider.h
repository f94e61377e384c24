#pragma once
#include <QColor>
#include <QSlider>

// A horizontal slider drawn by its subclass with a round thumb, whose thumb
// jumps straight to the clicked point (no paging) and which reports each drag
// step and the release to its parent through ReportDrag.
class CSkinnedSlider : public QSlider {
    Q_OBJECT
  public:
    bool IsDragging() const { return m_bDragging; }
    QRect ChannelRect() const;
    QRect ThumbRect() const;
    virtual int PositionFromX(int x) const;

  signals:
    // The wheel or a key moved the thumb (the slider's scroll notification),
    // after the new position is set.
    void Scrolled();

  protected:
    CSkinnedSlider(QColor thumbNormal, QColor thumbPressed, QWidget* parent);
    virtual void ReportDrag() = 0;
    void DrawThumb(QPainter& p) const;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    bool m_bDragging = false;
    bool m_bActionTaken = false;
    QColor m_thumbNormal;
    QColor m_thumbPressed;
};
