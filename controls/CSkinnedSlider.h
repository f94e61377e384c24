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

  protected:
    CSkinnedSlider(QColor thumbNormal, QColor thumbPressed, QWidget* parent);
    virtual void ReportDrag() = 0;
    void DrawThumb(QPainter& p) const;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool m_bDragging = false;
    QColor m_thumbNormal;
    QColor m_thumbPressed;
};
