#pragma once
#include "presenter/CatalogViews.h"

#include <QWidget>
#include <memory>

class QBackingStore;
class QPainter;

// A video surface: a native window that libvlc draws into (winId() is the X
// window handed to the player). While recordings are scanned the front
// surface counts the files in large glowing digits.
class CVideoStatic : public QWidget, public ScanCounterView {
    Q_OBJECT
  public:
    explicit CVideoStatic(QWidget* parent = nullptr);
    ~CVideoStatic() override;

    void SetCounterShown(bool shown);
    bool IsCounterShown() const { return m_bShowCounter; }
    int Counter() const { return m_nCounter; }
    // Stores the count and repaints at once: the scan keeps the event loop busy.
    void ShowScanCount(int count) override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void Draw(QPainter& p) const;
    // Puts the picture into the native window itself.
    void PaintNativeWindow();

    // The window's own store: once the map's browser turns the main window
    // into a composited one, widget painting no longer reaches this native
    // child, which then keeps whatever was drawn into it last (a video frame).
    std::unique_ptr<QBackingStore> m_store;
    QMetaObject::Connection m_storeWindowGone;
    bool m_bShowCounter = false;
    int m_nCounter = 0;
};
