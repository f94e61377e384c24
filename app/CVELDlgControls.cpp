// The main window's controls: creation, tool-tips and commands.
#include "app/CAboutDlg.h"
#include "app/CVELDlg.h"
#include "app/ClipMarksHook.h"
#include "app/ControlIds.h"
#include "app/DropHandler.h"
#include "app/EmptyListHint.h"
#include "app/KeyboardHelpDlg.h"
#include "app/KeyboardShortcuts.h"
#include "app/MainPlaybackView.h"
#include "app/PlaybackLogic.h"
#include "app/StripMenu.h"
#include "controls/CFrameClockStatic.h"
#include "controls/CGSensorCtrl.h"
#include "controls/CGdipButton.h"
#include "controls/CKesToolTipCtrl.h"
#include "controls/CMySliderControl.h"
#include "controls/CPbSpeedLabelStatic.h"
#include "controls/CPngCompassStatic.h"
#include "controls/CPngStatic.h"
#include "controls/CSpeedLabelStatic.h"
#include "controls/CVelFileListCtrl.h"
#include "controls/CVelGroupListCtrl.h"
#include "controls/CVideoSlider.h"
#include "controls/CVideoStatic.h"
#include "controls/CVideoStaticBg.h"
#include "dialogs/CKesConfigDlg.h"
#include "map/CHtmlMapDlg.h"
#include "player/CVlcPlayer.h"
#include "settings/AppSettings.h"
#include "strings/UiStrings.h"

#include <QShortcut>

namespace {

struct ButtonFace {
    int id;
    unsigned picture;
    unsigned alternate; // 0: none
    bool toggle;
};

const ButtonFace kButtons[] = {
    {IDC_OPEN, 139, 0, false},     {IDC_SAVE, 141, 0, false},   {IDC_SNAP, 140, 0, false},
    {IDC_DEL, 142, 0, false},      {IDC_CONF, 0, 0, false},     {IDC_PLAY, 129, 132, false},
    {IDC_STOP, 133, 0, false},     {IDC_FAST, 136, 0, false},   {IDC_SLOW, 137, 0, false},
    {IDC_LOOP, 143, 176, true},    {IDC_FLIP, 0, 0, false},     {IDC_KML, 145, 0, false},
    {IDC_MAP, 146, 0, false},      {IDC_GSR, 147, 0, false},    {IDC_LOCK, 201, 148, false},
    {IDC_MINIMIZE, 153, 0, false}, {IDC_CLOSE, 151, 0, false},  {IDC_MAXIMIZE, 152, 0, false},
    {IDC_ABOUT, 154, 0, false},    {IDC_VOL, 156, 155, true},   {IDC_SIZE_S, 1045, 0, false},
    {IDC_SIZE_M, 187, 0, false},   {IDC_SIZE_L, 188, 0, false},
};

// Tool-tip order and texts.
const std::pair<int, unsigned> kToolTips[] = {
    {IDC_ABOUT, UiStringId::kAbout},
    {IDC_CONF, UiStringId::kConfigurationTip},
    {IDC_DEL, UiStringId::kDeleteFilesTip},
    {IDC_CLOSE, UiStringId::kCloseTip},
    {IDC_FAST, UiStringId::kFasterTip},
    {IDC_FLIP, UiStringId::kRotateTip},
    {IDC_GSR, UiStringId::kCurveOnOffTip},
    {IDC_KML, UiStringId::kSaveKmlTip},
    {IDC_LOCK, UiStringId::kUnlockFilesTip},
    {IDC_LOOP, UiStringId::kAutoPlayNextTip},
    {IDC_MAP, UiStringId::kMapOnOffTip},
    {IDC_MAXIMIZE, UiStringId::kMaximizeTip},
    {IDC_MINIMIZE, UiStringId::kMinimizeTip},
    {IDC_OPEN, UiStringId::kOpenFilesTip},
    {IDC_PLAY, UiStringId::kPlayPauseTip},
    {IDC_SAVE, UiStringId::kSaveAsTip},
    {IDC_SLOW, UiStringId::kSlowerTip},
    {IDC_SNAP, UiStringId::kSnapshotTip},
    {IDC_STOP, UiStringId::kStopTip},
    {IDC_VOL, UiStringId::kSoundOnOffTip},
    {IDC_VOLUME_SLIDER, UiStringId::kVolumeTip},
    {IDC_SPEED, UiStringId::kSpeedUnitTip},
    {IDC_SIZE_S, UiStringId::kSmallWindowTip},
    {IDC_SIZE_M, UiStringId::kMediumWindowTip},
    {IDC_SIZE_L, UiStringId::kLargeWindowTip},
};

} // namespace

void CVELDlg::CreateControls() {
    for (const ButtonFace& b : kButtons) {
        auto* button = new CGdipButton(this);
        if (b.picture)
            button->LoadStdImage(b.picture);
        if (b.alternate)
            button->LoadAltImage(b.alternate);
        button->EnableToggle(b.toggle);
        button->setFocusPolicy(b.id == IDC_PLAY ? Qt::StrongFocus : Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, [this, id = b.id] { OnCommand(id); });
        m_controls[b.id] = button;
    }
    Control(IDC_PLAY)->setFocus();
    // The KML button's click stays the KML export; its right-click offers
    // the other formats and whole trips.
    QWidget* kml = Control(IDC_KML);
    kml->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(kml, &QWidget::customContextMenuRequested, this, [this, kml](QPoint at) {
        if (m_playback)
            m_playback->exports.ShowMenu(kml->mapToGlobal(at));
    });
    for (int id : {IDC_CONF, IDC_FLIP}) {
        Control(id)->hide();
        Control(id)->setEnabled(false);
    }

    // Frames first so that the surfaces lie above them.
    auto* frontFrame = new CVideoStaticBg(this);
    auto* rearFrame = new CVideoStaticBg(this);
    auto* frontVideo = new CVideoStatic(this);
    auto* rearVideo = new CVideoStatic(this);
    m_controls[IDC_FRONT_FRAME] = frontFrame;
    m_controls[IDC_REAR_FRAME] = rearFrame;
    m_controls[IDC_FRONT_VIDEO] = frontVideo;
    m_controls[IDC_REAR_VIDEO] = rearVideo;

    auto* curve = new CGSensorCtrl(this);
    curve->resize(100, 100);
    curve->setVisible(m_bGSensorEnabled);
    m_controls[IDC_GSENSOR] = curve;

    auto* position = new CVideoSlider(this);
    position->setRange(0, 1000);
    m_controls[IDC_POSITION_SLIDER] = position;
    auto* volume = new CMySliderControl(this);
    volume->setRange(0, 100);
    volume->setValue(50);
    m_controls[IDC_VOLUME_SLIDER] = volume;

    auto* gps = new CPngStatic(this);
    gps->SetPicture(150);
    gps->SetColor(false);
    gps->setGeometry(285, 8, 29, 26);
    m_controls[IDC_GPS] = gps;
    auto* logo = new CPngStatic(this);
    logo->SetPicture(157);
    logo->SetColor(true);
    logo->setGeometry(8, 4, 40, 40);
    m_controls[IDC_LOGO] = logo;

    auto* compass = new CPngCompassStatic(this);
    for (unsigned id = 167; id <= 174; ++id)
        compass->AddImage(id);
    compass->SetHeadingIndex(0);
    compass->setGeometry(308, 5, 32, 32);
    compass->hide();
    compass->setEnabled(false);
    m_controls[IDC_COMPASS] = compass;

    auto* speed = new CSpeedLabelStatic(this);
    speed->SetValid(true);
    speed->SetKilometres(!AppSettings::Instance().ReadSpeedInMiles());
    speed->SetSpeed(0);
    speed->UpdateText();
    speed->setGeometry(377, 3, 81, 33);
    m_controls[IDC_SPEED] = speed;
    auto* rate = new CPbSpeedLabelStatic(this);
    rate->SetText("", false);
    rate->setGeometry(468, 3, 60, 31);
    m_controls[IDC_PB_SPEED] = rate;

    auto* fileList = new CVelFileListCtrl(this);
    auto* groupList = new CVelGroupListCtrl(this);
    fileList->SetMessageTarget(this);
    groupList->SetMessageTarget(this);
    m_controls[IDC_FILE_LIST] = fileList;
    m_controls[IDC_GROUP_LIST] = groupList;

    m_pMapDlg = new CHtmlMapDlg(this);
    m_pMapDlg->setVisible(m_bMapEnabled);
    connect(m_pMapDlg, &CHtmlMapDlg::RoutePointClicked, this, [this](int routePoint) {
        if (m_playback)
            m_playback->SeekToRoutePoint(routePoint);
    });
    connect(m_pMapDlg, &CHtmlMapDlg::PageShown, this, [this] {
        if (m_playback)
            m_playback->RedrawMap();
    });

    auto* frameClock = new CFrameClockStatic(this);
    frameClock->SetObstacle(rate, [rate] { return rate->IsTextVisible(); });
    m_controls[IDC_FRAME_CLOCK] = frameClock;
    // I in full screen, whichever control holds the focus; off in the window,
    // where lists take typed letters.
    m_pFrameClockKey = new QShortcut(QKeySequence(Qt::Key_I), this);
    m_pFrameClockKey->setEnabled(false);
    connect(m_pFrameClockKey, &QShortcut::activated, this, [this] {
        m_bFrameClockOverlay = !m_bFrameClockOverlay;
        ShowFrameClockOverlay(m_bFrameClockOverlay);
    });

    m_view = std::make_unique<MainPlaybackView>();
    m_view->surfaces[0] = frontVideo;
    m_view->surfaces[1] = rearVideo;
    m_view->frames[0] = frontFrame;
    m_view->frames[1] = rearFrame;
    m_view->play = static_cast<CGdipButton*>(Control(IDC_PLAY));
    m_view->mute = static_cast<CGdipButton*>(Control(IDC_VOL));
    m_view->lock = static_cast<CGdipButton*>(Control(IDC_LOCK));
    m_view->position = position;
    m_view->volume = volume;
    m_view->rate = rate;
    m_view->gps = gps;
    m_view->compass = compass;
    m_view->speed = speed;
    m_view->catalog = &m_catalog;
    m_view->frameClock = frameClock;
    m_view->fitVideos = [this] { FitVideosToAspect(); };
    m_view->gsensorPaneEnabled = [this] { return m_bGSensorEnabled; };
    m_view->mapPaneEnabled = [this] { return m_bMapEnabled; };

    m_catalog.Reset();
    m_catalog.groupList = groupList;
    m_catalog.fileList = fileList;
    m_catalog.gsensorCurve = curve;
    m_catalog.mapWindow = m_pMapDlg;
    m_catalog.scanCounterDisplay = frontVideo;

    PlaybackContext context;
    context.window = this;
    context.catalog = &m_catalog;
    context.view = m_view.get();
    m_playback = std::make_unique<PlaybackLogic>(context, m_frontPlayer.get(), m_rearPlayer.get());
    PlaybackController* controller = &m_playback->controller;
    connect(position, &CSkinnedSlider::Scrolled, controller,
            &PlaybackController::OnPositionSliderScroll);
    connect(volume, &CSkinnedSlider::Scrolled, controller, &PlaybackController::OnVolumeChanged);
    connect(position, &CVideoSlider::SeekCursorMoved, curve, &CGSensorCtrl::FollowSeekCursor);

    m_pToolTip = new CKesToolTipCtrl(this);
    m_pToolTip->Activate(true);
    CreateInputHandlers();
}

void CVELDlg::CreateInputHandlers() {
    m_keys = std::make_unique<KeyboardShortcuts>(*this);
    new ClipMarksHook(*this);
    m_drops = std::make_unique<DropHandler>(*this, [this](const DropTarget& target) {
        m_playback->open.OpenFolder(target.folder, target.file);
    });
    new StripMenu(
        *this, [this] { OnCommand(IDC_CONF); }, [this] { KeyboardHelpDlg(this).exec(); },
        [this] { OnCommand(IDC_ABOUT); });
    m_pEmptyHint = new EmptyListHint(Control(IDC_FRONT_FRAME),
                                     qobject_cast<QAbstractItemView*>(Control(IDC_FILE_LIST)));
}

void CVELDlg::SetupToolTips() {
    if (!m_pToolTip)
        return;
    for (QWidget* w : m_pToolTip->RegisteredTools())
        m_pToolTip->DelTool(w);
    m_pToolTip->ClearIconEntries();
    for (const auto& [id, text] : kToolTips)
        if (QWidget* w = Control(id))
            m_pToolTip->AddTool(w, LoadUiString(text), QRect(), id);
    for (const auto& [id, text] : kToolTips)
        m_pToolTip->AddIconEntry(id, 0, 161);
}

void CVELDlg::OpenFolder(const QString& folder) {
    if (m_playback && !folder.isEmpty())
        m_playback->open.OpenFolder(folder);
}

void CVELDlg::TogglePane(bool map) {
    if (map) {
        if (m_bFullScreen)
            return;
        m_bMapEnabled = !m_bMapEnabled;
        LayoutControls(width(), height());
        if (m_pMapDlg) {
            m_pMapDlg->setVisible(m_bMapEnabled);
            m_pMapDlg->setEnabled(m_bMapEnabled);
        }
        AppSettings::Instance().WriteInt("UI", "MAP_ENABLE", m_bMapEnabled ? 1 : 0);
        return;
    }
    m_bGSensorEnabled = !m_bGSensorEnabled;
    if (QWidget* curve = Control(IDC_GSENSOR))
        curve->setVisible(m_bGSensorEnabled);
    LayoutControls(width(), height());
    AppSettings::Instance().WriteInt("UI", "GSNR_ENABLE", m_bGSensorEnabled ? 1 : 0);
}

void CVELDlg::OnCommand(int id) {
    if (m_playback && m_playback->OnCommand(id))
        return;
    switch (id) {
    case IDC_CLOSE:
        close();
        break;
    case IDC_ABOUT:
        CAboutDlg(this).exec();
        break;
    case IDC_MINIMIZE:
        showMinimized();
        break;
    case IDC_MAXIMIZE:
        ToggleMaximized();
        break;
    case IDC_CONF: {
        CKesConfigDlg dialog(this);
        if (dialog.exec() == QDialog::Accepted && m_pMapDlg)
            m_pMapDlg->SetMapType(dialog.MapChoice());
        break;
    }
    case IDC_SIZE_S:
        SetPresetSize(WindowPreset::Small);
        break;
    case IDC_SIZE_M:
        SetPresetSize(WindowPreset::Medium);
        break;
    case IDC_SIZE_L:
        SetPresetSize(WindowPreset::Large);
        break;
    case IDC_MAP:
        TogglePane(true);
        break;
    case IDC_GSR:
        TogglePane(false);
        break;
    default:
        break;
    }
}
