// Preset sizes, maximise and full screen of the main window.
#include "app/playback/PlayerPair.h"
#include "app/window/CVELDlg.h"
#include "app/window/ControlIds.h"
#include "app/window/WindowAssembly.h"
#include "controls/CFrameClockStatic.h"
#include "controls/CGSensorCtrl.h"
#include "controls/CGdipButton.h"
#include "controls/CVideoStatic.h"
#include "controls/CVideoStaticBg.h"
#include "map/CHtmlMapDlg.h"
#include "player/CVlcPlayer.h"

#include <QCursor>
#include <QScreen>
#include <QShortcut>
#include <vector>

// The whole monitor the window is on, not its work area.
QRect CVELDlg::MonitorRect() const {
    const QScreen* monitor = screen();
    return monitor ? monitor->geometry() : QRect(0, 0, kMinWindowWidth, kMinWindowHeight);
}

void CVELDlg::SetPresetSize(WindowPreset preset) {
    m_bMaximized = false;
    setGeometry(PresetWindowRect(preset, MonitorRect()));
}

void CVELDlg::ToggleMaximized() {
    if (m_bMaximized) {
        setGeometry(m_savedRect);
        m_bMaximized = false;
    } else {
        m_savedRect = geometry();
        setGeometry(MonitorRect());
        m_bMaximized = true;
    }
    raise();
    show();
    // The browser view repaints only once shown again.
    if (m_bMapEnabled) {
        m_controls.m_pMapDlg->hide();
        m_controls.m_pMapDlg->show();
    }
}

namespace {

// Every control that full screen hides, besides the G-sensor curve, the map
// and the other video.
constexpr int kHiddenInFullScreen[] = {
    IDC_PLAY,          IDC_STOP,
    IDC_SLOW,          IDC_FAST,
    IDC_DEL,           IDC_SAVE,
    IDC_SNAP,          IDC_OPEN,
    IDC_LOOP,          IDC_KML,
    IDC_MAP,           IDC_GSR,
    IDC_LOCK,          IDC_POSITION_SLIDER,
    IDC_VOLUME_SLIDER, IDC_GPS,
    IDC_CLOSE,         IDC_MAXIMIZE,
    IDC_MINIMIZE,      IDC_ABOUT,
    IDC_VOL,           IDC_LOGO,
    IDC_GROUP_LIST,    IDC_FILE_LIST,
    IDC_SPEED,         IDC_SIZE_S,
    IDC_SIZE_M,        IDC_SIZE_L,
    IDC_PB_SPEED,      IDC_FRAME_CLOCK,
};

} // namespace

void CVELDlg::ShowControls(bool show) {
    for (int id : kHiddenInFullScreen)
        if (QWidget* w = Control(id))
            w->setVisible(show);
    m_controls.gsensor->setVisible(show && m_bGSensorEnabled);
    m_controls.m_pMapDlg->setVisible(show && m_bMapEnabled);
    // The other video with its frame; a stopped surface stays hidden.
    const Camera other = m_nFullScreenVideo == 2 ? Camera::Front : Camera::Rear;
    const bool front = other == Camera::Front;
    (front ? m_controls.frontFrame : m_controls.rearFrame)->setVisible(show);
    (front ? m_controls.frontVideo : m_controls.rearVideo)
        ->setVisible(show && !m_parts->view.SurfaceHidden(other));
}

void CVELDlg::ToggleFullScreen() {
    const QPoint cursor = QCursor::pos();
    const std::pair<const QWidget*, int> videos[] = {{m_controls.frontVideo, 1},
                                                     {m_controls.rearVideo, 2}};
    for (auto [surface, video] : videos) {
        if (surface->isVisible() &&
            QRect(surface->mapToGlobal(QPoint(0, 0)), surface->size()).contains(cursor))
            m_nFullScreenVideo = video;
    }
    SwitchFullScreen();
}

void CVELDlg::ToggleFrontFullScreen() {
    if (!m_bFullScreen)
        m_nFullScreenVideo = 1;
    SwitchFullScreen();
}

void CVELDlg::SwitchFullScreen() {
    if (m_parts->catalog.Files().empty())
        return;
    // A double-click beside both pictures (on a frame) picks the front one.
    if (m_nFullScreenVideo == 0)
        m_nFullScreenVideo = 1;
    PlayerPair& players = m_parts->playback->Players();
    // The toggle also starts a stopped recording again, as it always has.
    std::vector<CVlcPlayer*> stopped;
    players.ForEachUsable([&stopped](CVlcPlayer& player, Camera) {
        if (!player.IsPlaying() && !player.IsPaused() && player.HasMedia())
            stopped.push_back(&player);
    });
    {
        // The players wait while the window changes shape.
        const PlayerPair::Hold hold(players);
        if (m_bFullScreen)
            LeaveFullScreen();
        else
            EnterFullScreen();
    }
    for (CVlcPlayer* player : stopped)
        players.Resume(*player);
}

void CVELDlg::LeaveFullScreen() {
    m_bFullScreen = false;
    ShowFrameClockOverlay(false);
    ShowControls(true);
    setGeometry(m_savedRect);
    for (Camera camera : {Camera::Front, Camera::Rear})
        if (QWidget* surface = m_parts->view.VideoSurface(camera))
            surface->setVisible(!m_parts->view.SurfaceHidden(camera));
}

void CVELDlg::EnterFullScreen() {
    m_savedRect = geometry();
    m_bFullScreen = true;
    m_bMaximized = false;
    ShowControls(false);
    QRect monitor = MonitorRect();
    // The same size would bring no size event, and with it no layout.
    if (width() == monitor.width() || height() == monitor.height())
        monitor.setHeight(monitor.height() - 1);
    setGeometry(monitor);
    m_controls.play->setFocus();
    // The chosen video plays on below: a stopped one is shown again.
    const Camera chosen = m_nFullScreenVideo == 2 ? Camera::Rear : Camera::Front;
    if (m_parts->view.SurfaceHidden(chosen))
        m_parts->view.SetSurfaceHidden(chosen, false);
    if (QWidget* surface = m_parts->view.VideoSurface(chosen))
        surface->update();
    ShowFrameClockOverlay(m_bFrameClockOverlay);
}

// libvlc draws the text onto the picture itself, so no widget has to stay
// above the native video window.
void CVELDlg::ShowFrameClockOverlay(bool show) {
    if (m_pFrameClockKey)
        m_pFrameClockKey->setEnabled(m_bFullScreen);
    const Camera camera = m_nFullScreenVideo == 2 ? Camera::Rear : Camera::Front;
    CVlcPlayer* shown =
        show && m_bFullScreen ? m_parts->playback->Players().UsablePlayer(camera) : nullptr;
    if (m_parts->view.frameClockPlayer && m_parts->view.frameClockPlayer != shown)
        m_parts->view.frameClockPlayer->SetMarquee(QString());
    m_parts->view.frameClockPlayer = shown;
    if (shown)
        shown->SetMarquee(m_controls.frameClock->Text());
}
