#pragma once
#include "app/MainLayout.h"
#include "platform/WindowMessages.h"
#include "recordings/CatalogViews.h"
#include "recordings/RecordingCatalog.h"

#include <QDialog>
#include <map>

class WindowTimers;

// The main window: frameless, dark, holding every control of the viewer.
class CVELDlg : public QDialog, public MainWindowView {
    Q_OBJECT
  public:
    explicit CVELDlg(QWidget* parent = nullptr);
    ~CVELDlg() override;

    RecordingCatalog& Catalog() { return m_catalog; }
    // The control with this id, or null when it does not exist.
    QWidget* Control(int id) const;

    void LayoutControls(int cx, int cy);
    void FitVideosToAspect();

    // Shutdown steps shared by closing and cancelling: stop the front player
    // and save the window rectangle.
    void SaveOnClose();

    int m_nRightPaneWidth = 240;
    int m_nMapHeight = 240;
    int m_nGroupListHeight = 120;
    bool m_bMapEnabled = true;
    bool m_bGSensorEnabled = true;
    bool m_bMaximized = false;
    bool m_bFullScreen = false;
    int m_nFullScreenVideo = 0;

  protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

    virtual qintptr OnWindowMessage(unsigned message, quintptr wParam, qintptr lParam);
    virtual void OnTimer(int id);

    std::map<int, QWidget*> m_controls;
    QWidget* m_mapPane = nullptr;
    WindowTimers* m_timers = nullptr;

  private:
    enum Drag { NoDrag, GripDrag, MapSplitterDrag, GroupListSplitterDrag, ColumnSplitterDrag };

    void RestoreWindowRect();
    Drag HitTest(QPoint p) const;
    void UpdateCursor(QPoint p);
    void EndDrag(QPoint p);

    RecordingCatalog m_catalog;
    bool m_bPlaced = false;
    int m_cx = 0;
    int m_cy = 0;
    Drag m_drag = NoDrag;
    QRect m_mapSplitter;
    QRect m_groupListSplitter;
    QRect m_columnSplitter;
    QSize m_lastLaidOut;
};
