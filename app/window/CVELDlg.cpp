#include "app/window/CVELDlg.h"

#include "app/window/ControlIds.h"
#include "app/window/DropHandler.h"
#include "app/window/EmptyListHint.h"
#include "app/window/FrameClockLayout.h"
#include "app/window/KeyboardShortcuts.h"
#include "app/window/TitleText.h"
#include "app/window/WindowAssembly.h"
#include "app/window/WindowPlacement.h"
#include "app/window/WindowShape.h"
#include "controls/CFrameClockStatic.h"
#include "controls/CGSensorCtrl.h"
#include "controls/CKesToolTipCtrl.h"
#include "controls/CSpeedLabelStatic.h"
#include "controls/CVelFileListCtrl.h"
#include "controls/CVelGroupListCtrl.h"
#include "controls/CVideoStatic.h"
#include "controls/CVideoStaticBg.h"
#include "map/CCefClientApp.h"
#include "map/CHtmlMapDlg.h"
#include "player/CVlcPlayer.h"
#include "settings/AppSettings.h"
#include "settings/SettingKeys.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QWindow>

namespace {
const QColor kBackground(5, 5, 5);
static_assert(SettingKeys::kWindowRight.defaultValue == kMinWindowWidth);
static_assert(SettingKeys::kWindowBottom.defaultValue == kMinWindowHeight);
} // namespace

CVELDlg::CVELDlg(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle("Ostrel-Halvex Zarn");
    setMinimumSize(kMinWindowWidth, kMinWindowHeight);
    setMouseTracking(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBackground);
    setPalette(pal);
    setAutoFillBackground(true);

    AppSettings& settings = AppSettings::Instance();
    settings.ReadMapChoice();
    m_bMapEnabled = settings.Read(SettingKeys::kMapEnabled) != 0;
    m_bGSensorEnabled = settings.Read(SettingKeys::kGSensorEnabled) != 0;

    m_parts = std::make_unique<WindowAssembly>(*this, m_controls);
    m_controlIds = m_controls.ById();
    CreateFrameClockKey();
    qApp->installEventFilter(this);
}

// I in full screen, whichever control holds the focus; off in the window,
// where lists take typed letters.
void CVELDlg::CreateFrameClockKey() {
    m_pFrameClockKey = new QShortcut(QKeySequence(Qt::Key_I), this);
    m_pFrameClockKey->setEnabled(false);
    connect(m_pFrameClockKey, &QShortcut::activated, this, [this] {
        m_bFrameClockOverlay = !m_bFrameClockOverlay;
        ShowFrameClockOverlay(m_bFrameClockOverlay);
    });
}

CVELDlg::~CVELDlg() {
    qApp->removeEventFilter(this);
}

RecordingCatalog& CVELDlg::Catalog() {
    return m_parts->catalog;
}

PlaybackLogic* CVELDlg::Playback() const {
    return m_parts ? m_parts->playback.get() : nullptr;
}

// The one application-wide filter. Keys, drops and the clicks that close the
// tool-tip must be seen before the child they land on (a list, the map's
// browser view, a video surface) takes them, and Qt offers a child's events
// to no parent first.
bool CVELDlg::eventFilter(QObject* watched, QEvent* event) {
    CKesToolTipCtrl* toolTip = m_controls.m_pToolTip;
    if (toolTip && watched->isWidgetType() &&
        (static_cast<QWidget*>(watched) == this || isAncestorOf(static_cast<QWidget*>(watched)))) {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove:
            toolTip->RelayEvent(event);
            break;
        default:
            break;
        }
    }
    if (m_parts && ((m_parts->drops && m_parts->drops->Filter(watched, event)) ||
                    (m_parts->keys && m_parts->keys->Filter(watched, event))))
        return true;
    return QDialog::eventFilter(watched, event);
}

QWidget* CVELDlg::Control(int id) const {
    const auto it = m_controlIds.find(id);
    return it == m_controlIds.end() ? nullptr : it->second;
}

bool CVELDlg::event(QEvent* event) {
    if (DispatchWindowMessage(
            event, [this](unsigned m, quintptr w, qintptr l) { return OnWindowMessage(m, w, l); }))
        return true;
    return QDialog::event(event);
}

qintptr CVELDlg::OnWindowMessage(unsigned message, quintptr, qintptr) {
    switch (message) {
    case WM_VOLUME_CHANGED:
    case WM_SEEK_REQUEST:
        m_parts->playback->OnWindowMessage(message);
        break;
    case WM_LANGUAGE_CHANGED:
        m_controls.groupList->Retitle();
        m_controls.fileList->Retitle();
        SetupToolTips();
        m_controls.emptyHint->Retext();
        emit TextsChanged();
        break;
    case WM_MAP_TYPE_CHANGED:
        m_controls.m_pMapDlg->OnMapTypeChanged();
        break;
    case WM_VIDEO_DBLCLK:
        ToggleFullScreen();
        break;
    default:
        break;
    }
    return 0;
}

void CVELDlg::showEvent(QShowEvent* event) {
    if (!m_bPlaced) {
        m_bPlaced = true;
        RestoreWindowRect();
        LayoutControls(width(), height());
        SetupToolTips();
        // Column widths follow the lists' first laid-out width.
        m_controls.groupList->SetUp();
        m_controls.fileList->SetUp();
        m_controls.m_pMapDlg->raise();
        m_controls.m_pMapDlg->SetMapType(AppSettings::Instance().MapChoice());
        // Before anything plays, the frames with their background show.
        m_parts->view.SetSurfaceHidden(Camera::Front, true);
        m_parts->view.SetSurfaceHidden(Camera::Rear, true);
        // The players are bound to the surfaces' native windows only now: the
        // browser view turns the window into a GL window, which recreates
        // every native child.
        m_parts->playback->Initialise();
    }
    QDialog::showEvent(event);
}

void CVELDlg::RestoreWindowRect() {
    AppSettings& s = AppSettings::Instance();
    const int left = s.Read(SettingKeys::kWindowLeft);
    const int top = s.Read(SettingKeys::kWindowTop);
    const int right = s.Read(SettingKeys::kWindowRight);
    const int bottom = s.Read(SettingKeys::kWindowBottom);
    // The work area, so that the window does not come back under a panel.
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area =
        screen ? screen->availableGeometry() : QRect(0, 0, kMinWindowWidth, kMinWindowHeight);
    const QRect rect = RestoredWindowRect(left, top, right, bottom, area);
    // The screen may be smaller than the usual minimum.
    setMinimumSize(std::min(kMinWindowWidth, rect.width()),
                   std::min(kMinWindowHeight, rect.height()));
    setGeometry(rect);
    raise();
}

void CVELDlg::LayoutControls(int cx, int cy) {
    if (!m_parts)
        return;
    if (m_bFullScreen) {
        // Both frames cover the window, which covers the monitor; the chosen
        // video is fitted in them.
        for (QWidget* frame : {m_controls.frontFrame, m_controls.rearFrame})
            frame->setGeometry(0, 0, cx, cy);
        FitVideosToAspect();
        return;
    }
    MainLayoutInput in;
    in.cx = cx;
    in.cy = cy;
    in.rightPaneWidth = m_nRightPaneWidth;
    in.mapHeight = m_nMapHeight;
    in.groupListHeight = m_nGroupListHeight;
    in.mapEnabled = m_bMapEnabled;
    in.gsensorEnabled = m_bGSensorEnabled;
    in.gsensorHeight = m_controls.gsensor->height();
    const MainLayoutResult r = ::LayoutControls(in);
    for (const auto& [id, rect] : r.controls)
        if (QWidget* w = Control(id))
            w->setGeometry(rect);
    m_controls.frameClock->setGeometry(FrameClockRect(cx));
    m_controls.frameClock->SetRooms(FrameClockBeside(cx), FrameClockBelow(cx));
    m_controls.m_pMapDlg->PlaceMap(r.mapPane);
    m_mapSplitter = r.mapSplitter;
    m_groupListSplitter = r.groupListSplitter;
    m_columnSplitter = r.columnSplitter;
    FitVideosToAspect();
}

void CVELDlg::FitVideosToAspect() {
    // The frames come first; the window lays itself out from then on.
    if (!m_controls.frontFrame || !m_controls.rearFrame)
        return;
    QRect front = m_controls.frontFrame->geometry();
    QRect rear = m_controls.rearFrame->geometry();
    if (!m_bFullScreen) {
        front.adjust(2, 2, -2, -2);
        rear.adjust(2, 2, -2, -2);
    }
    int w = 0, h = 0;
    const int current = m_parts->catalog.CurrentFileClamped();
    if (current >= 0) {
        w = m_parts->catalog.Files()[size_t(current)].info.width;
        h = m_parts->catalog.Files()[size_t(current)].info.height;
    }
    const VideoRects v = ::FitVideosToAspect(front, rear, w, h);
    QWidget* frontVideo = m_controls.frontVideo;
    QWidget* rearVideo = m_controls.rearVideo;
    if (m_bFullScreen) {
        if (m_nFullScreenVideo == 1 && frontVideo)
            frontVideo->setGeometry(v.front);
        else if (m_nFullScreenVideo == 2 && rearVideo)
            rearVideo->setGeometry(v.rear);
        return;
    }
    if (frontVideo)
        frontVideo->setGeometry(v.front);
    if (rearVideo)
        rearVideo->setGeometry(v.rear);
}

void CVELDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const int cx = width(), cy = height();
    if (cx == 0 && cy == 0)
        return;
    m_cx = cx;
    m_cy = cy;
    setMask(MainWindowRegion(size(), m_bFullScreen));
    if (m_lastLaidOut != size()) {
        LayoutControls(cx, cy);
        m_lastLaidOut = size();
    }
    if (m_parts && m_parts->playback)
        m_parts->playback->OnResized();
    update();
}

void CVELDlg::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QPen(QColor(150, 150, 150), 1));
    const int cx = width(), cy = height();
    for (int n : {25, 20, 15, 10})
        p.drawLine(cx - n, cy, cx, cy - n);
    if (!m_bFullScreen)
        DrawTitleText(p, windowTitle(), QPoint(50, 10));
}

CVELDlg::Drag CVELDlg::HitTest(QPoint p) const {
    if (QRect(width() - 20, height() - 20, 20, 20).contains(p))
        return GripDrag;
    if (m_mapSplitter.contains(p))
        return MapSplitterDrag;
    if (m_groupListSplitter.contains(p))
        return GroupListSplitterDrag;
    if (m_columnSplitter.contains(p))
        return ColumnSplitterDrag;
    return NoDrag;
}

void CVELDlg::UpdateCursor(QPoint p) {
    switch (HitTest(p)) {
    case GripDrag:
        setCursor(Qt::SizeFDiagCursor);
        break;
    case MapSplitterDrag:
    case GroupListSplitterDrag:
        setCursor(Qt::SizeVerCursor);
        break;
    case ColumnSplitterDrag:
        setCursor(Qt::SizeHorCursor);
        break;
    case NoDrag:
        unsetCursor();
        break;
    }
}

void CVELDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QDialog::mousePressEvent(event);
    const QPoint p = event->position().toPoint();
    m_drag = HitTest(p);
    if (m_drag != NoDrag) {
        grabMouse();
        return;
    }
    if (!m_bMaximized && !m_bFullScreen && windowHandle())
        windowHandle()->startSystemMove();
}

void CVELDlg::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    switch (m_drag) {
    case NoDrag:
        UpdateCursor(p);
        return;
    case GripDrag:
        if (!m_bMaximized && !m_bFullScreen) {
            resize(std::max(p.x(), kMinWindowWidth), std::max(p.y(), kMinWindowHeight));
            setCursor(Qt::SizeFDiagCursor);
        }
        return;
    case MapSplitterDrag:
        m_nMapHeight = p.y() - 48;
        break;
    case GroupListSplitterDrag:
        m_nGroupListHeight = m_cy - p.y() - 74;
        break;
    case ColumnSplitterDrag:
        m_nRightPaneWidth = m_cx - p.x() - 10;
        break;
    }
    LayoutControls(m_cx, m_cy);
}

void CVELDlg::EndDrag(QPoint p) {
    if (m_drag == GripDrag)
        resize(std::max(p.x(), kMinWindowWidth), std::max(p.y(), kMinWindowHeight));
    releaseMouse();
    m_drag = NoDrag;
    LayoutControls(width(), height());
    // The map repaints only when shown anew.
    if (m_bMapEnabled) {
        m_controls.m_pMapDlg->hide();
        m_controls.m_pMapDlg->show();
    }
}

void CVELDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_drag != NoDrag)
        EndDrag(event->position().toPoint());
    else
        QDialog::mouseReleaseEvent(event);
}

void CVELDlg::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QDialog::mouseDoubleClickEvent(event);
        return;
    }
    // The speed read-out lets the mouse through to the window, which hands it
    // the double-clicks on it (its unit toggle); elsewhere on the window's own
    // surface a double-click is [ ].
    CSpeedLabelStatic* speed = m_controls.speed;
    const QPoint p = event->position().toPoint();
    if (speed->isVisible() && speed->geometry().contains(p)) {
        QMouseEvent forwarded(QEvent::MouseButtonDblClick, QPointF(speed->mapFrom(this, p)),
                              event->globalPosition(), event->button(), event->buttons(),
                              event->modifiers());
        QCoreApplication::sendEvent(speed, &forwarded);
        AppSettings::Instance().WriteSpeedInMiles(!speed->IsKilometres());
        // The windows beside it show their figures in the new unit at once.
        emit TextsChanged();
    } else {
        ToggleMaximized();
    }
    event->accept();
}

// Escape never closes the viewer.
void CVELDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }

    QDialog::keyPressEvent(event);
}

void CVELDlg::SaveOnClose() {
    // The rear player is released with the window.
    PlayerPair& players = m_parts->playback->Players();
    if (CVlcPlayer* front = players.UsablePlayer(Camera::Front))
        players.Stop(*front);
    const QRect r = geometry();
    AppSettings& s = AppSettings::Instance();
    s.Write(SettingKeys::kWindowLeft, r.left());
    s.Write(SettingKeys::kWindowTop, r.top());
    s.Write(SettingKeys::kWindowRight, r.left() + r.width());
    s.Write(SettingKeys::kWindowBottom, r.top() + r.height());
}

void CVELDlg::closeEvent(QCloseEvent* event) {
    SaveOnClose();
    event->accept();
    done(QDialog::Accepted);
}

// The dialog's cancel saves as closing does but keeps the window.
void CVELDlg::reject() {
    SaveOnClose();
}
