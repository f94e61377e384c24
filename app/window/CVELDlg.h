#pragma once
#include "app/window/MainLayout.h"
#include "app/window/WindowControls.h"
#include "app/window/WindowPlacement.h"
#include "platform/WindowMessages.h"
#include "recordings/RecordingCatalog.h"

#include <QDialog>
#include <map>
#include <memory>

class CHtmlMapDlg;
class CKesToolTipCtrl;
class ClipMarksHook;
class OverviewLink;
class PlaybackLogic;
class QShortcut;
class WindowAssembly;

// The main window: frameless, dark, holding every control of the viewer.
class CVELDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CVELDlg(QWidget* parent = nullptr);
    ~CVELDlg() override;

    RecordingCatalog& Catalog();
    // The numbered control with this id (ControlIds), or null when it does
    // not exist.
    QWidget* Control(int id) const;

    void LayoutControls(int cx, int cy);
    void FitVideosToAspect();
    void SetupToolTips();

    // Opens a folder as the OPEN command would (the folder given at start).
    void OpenFolder(const QString& folder);
    CHtmlMapDlg* MapWindow() const { return m_controls.m_pMapDlg; }
    CKesToolTipCtrl* ToolTip() const { return m_controls.m_pToolTip; }
    ClipMarksHook* ClipMarks() const { return m_controls.clipMarks; }
    OverviewLink* Overview() const { return m_controls.overview; }
    PlaybackLogic* Playback() const;

    bool MapPaneEnabled() const { return m_bMapEnabled; }
    bool GSensorPaneEnabled() const { return m_bGSensorEnabled; }
    bool IsMaximized() const { return m_bMaximized; }
    bool IsFullScreen() const { return m_bFullScreen; }
    // The video shown on the whole screen: 1 front, 2 rear, 0 none chosen.
    int FullScreenVideo() const { return m_nFullScreenVideo; }

    // A control's command, as its button gives it.
    void Command(int id) { OnCommand(id); }
    // F, F11 and Escape: the front video alone on the monitor, or back.
    void ToggleFrontFullScreen();

    // Shutdown steps shared by closing and cancelling: stop the front player
    // and save the window rectangle.
    void SaveOnClose();

  signals:
    // After the window's own texts follow a new language or the speed
    // read-out's unit; for the windows beside it.
    void TextsChanged();

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

    bool eventFilter(QObject* watched, QEvent* event) override;

    virtual qintptr OnWindowMessage(unsigned message, quintptr wParam, qintptr lParam);
    virtual void OnCommand(int id);

  private:
    void CreateFrameClockKey();
    void TogglePane(bool map);
    // S, M and L.
    void SetPresetSize(WindowPreset preset);
    // [ ] and a double-click on the window's own surface.
    void ToggleMaximized();
    QRect MonitorRect() const;
    // A double-click on a video: that video alone on the whole monitor, or
    // back to the window.
    void ToggleFullScreen();
    void SwitchFullScreen();
    void EnterFullScreen();
    void LeaveFullScreen();
    void ShowControls(bool show);
    void ShowFrameClockOverlay(bool show);
    enum Drag { NoDrag, GripDrag, MapSplitterDrag, GroupListSplitterDrag, ColumnSplitterDrag };

    void RestoreWindowRect();
    Drag HitTest(QPoint p) const;
    void UpdateCursor(QPoint p);
    void EndDrag(QPoint p);

    int m_nRightPaneWidth = 240;
    int m_nMapHeight = 240;
    int m_nGroupListHeight = 120;
    bool m_bMapEnabled = true;
    bool m_bGSensorEnabled = true;
    bool m_bMaximized = false;
    // The window's rectangle before [ ] maximised it.
    QRect m_savedRect;
    bool m_bFullScreen = false;
    int m_nFullScreenVideo = 0;
    // In full screen the frame clock is drawn onto the video; I toggles it.
    bool m_bFrameClockOverlay = true;
    QShortcut* m_pFrameClockKey = nullptr;

    // The controls, made by the assembly; the numbered ones also by id.
    WindowControls m_controls;
    std::map<int, QWidget*> m_controlIds;
    // Everything else the window is made of; it goes before the controls,
    // which are the window's children.
    std::unique_ptr<WindowAssembly> m_parts;
    bool m_bPlaced = false;
    int m_cx = 0;
    int m_cy = 0;
    Drag m_drag = NoDrag;
    QRect m_mapSplitter;
    QRect m_groupListSplitter;
    QRect m_columnSplitter;
    QSize m_lastLaidOut;
};
