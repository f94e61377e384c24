#pragma once
#include <QWidget>

// The frame behind a video surface. It draws nothing (the window's own
// background shows) and turns double-clicks into WM_VIDEO_DBLCLK.
class CVideoStaticBg : public QWidget {
    Q_OBJECT
  public:
    explicit CVideoStaticBg(QWidget* parent = nullptr);

    // Kept for the main window: whether the surface in this frame is hidden.
    void SetSurfaceHidden(bool hidden) { m_bSurfaceHidden = hidden; }
    bool SurfaceHidden() const { return m_bSurfaceHidden; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    bool m_bSurfaceHidden = true;
};
