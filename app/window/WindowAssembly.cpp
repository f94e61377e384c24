#include "app/window/WindowAssembly.h"

#include "app/window/CVELDlg.h"
#include "app/window/ClipMarksHook.h"
#include "app/window/ControlIds.h"
#include "app/window/DropHandler.h"
#include "app/window/EmptyListHint.h"
#include "app/window/KeyboardHelpDlg.h"
#include "app/window/KeyboardShortcuts.h"
#include "app/window/OverviewLink.h"
#include "app/window/StripMenu.h"
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
#include "map/CHtmlMapDlg.h"
#include "settings/AppSettings.h"

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

} // namespace

template <typename Control>
Control* WindowAssembly::Add(CVELDlg& window, int id, Control* control) {
    window.m_controls[id] = control;
    return control;
}

WindowAssembly::WindowAssembly(CVELDlg& window) {
    CreateButtons(window);
    // Frames first so that the surfaces lie above them.
    view.frames[0] = Add(window, IDC_FRONT_FRAME, new CVideoStaticBg(&window));
    view.frames[1] = Add(window, IDC_REAR_FRAME, new CVideoStaticBg(&window));
    view.surfaces[0] = Add(window, IDC_FRONT_VIDEO, new CVideoStatic(&window));
    view.surfaces[1] = Add(window, IDC_REAR_VIDEO, new CVideoStatic(&window));

    view.curve = Add(window, IDC_GSENSOR, new CGSensorCtrl(&window));
    view.curve->resize(100, 100);
    view.curve->setVisible(window.m_bGSensorEnabled);
    view.position = Add(window, IDC_POSITION_SLIDER, new CVideoSlider(&window));
    view.position->setRange(0, 1000);
    view.volume = Add(window, IDC_VOLUME_SLIDER, new CMySliderControl(&window));
    view.volume->setRange(0, 100);
    view.volume->setValue(50);

    CreateReadOuts(window);
    CreateLists(window);
    CreateMap(window);
    CreateFrameClock(window);
    CreateLogic(window);

    window.m_pToolTip = new CKesToolTipCtrl(&window);
    window.m_pToolTip->Activate(true);
    CreateInputHandlers(window);
}

// Input goes first; the logic detaches the players' events as it goes.
WindowAssembly::~WindowAssembly() = default;

void WindowAssembly::CreateButtons(CVELDlg& window) {
    for (const ButtonFace& b : kButtons) {
        auto* button = Add(window, b.id, new CGdipButton(&window));
        if (b.picture)
            button->LoadStdImage(b.picture);
        if (b.alternate)
            button->LoadAltImage(b.alternate);
        button->EnableToggle(b.toggle);
        button->setFocusPolicy(b.id == IDC_PLAY ? Qt::StrongFocus : Qt::NoFocus);
        QObject::connect(button, &QPushButton::clicked, &window,
                         [&window, id = b.id] { window.Command(id); });
        if (b.id == IDC_PLAY)
            view.play = button;
        else if (b.id == IDC_VOL)
            view.mute = button;
        else if (b.id == IDC_LOCK)
            view.lock = button;
    }
    view.play->setFocus();
    // The KML button's click stays the KML export; its right-click offers
    // the other formats and whole trips.
    QWidget* kml = window.Control(IDC_KML);
    kml->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(kml, &QWidget::customContextMenuRequested, &window, [this, kml](QPoint at) {
        if (playback)
            playback->exports.ShowMenu(kml->mapToGlobal(at));
    });
    for (int id : {IDC_CONF, IDC_FLIP}) {
        window.Control(id)->hide();
        window.Control(id)->setEnabled(false);
    }
}

void WindowAssembly::CreateReadOuts(CVELDlg& window) {
    view.gps = Add(window, IDC_GPS, new CPngStatic(&window));
    view.gps->SetPicture(150);
    view.gps->SetColor(false);
    view.gps->setGeometry(285, 8, 29, 26);
    auto* logo = Add(window, IDC_LOGO, new CPngStatic(&window));
    logo->SetPicture(157);
    logo->SetColor(true);
    logo->setGeometry(8, 4, 40, 40);

    view.compass = Add(window, IDC_COMPASS, new CPngCompassStatic(&window));
    for (unsigned id = 167; id <= 174; ++id)
        view.compass->AddImage(id);
    view.compass->SetHeadingIndex(0);
    view.compass->setGeometry(308, 5, 32, 32);
    view.compass->hide();
    view.compass->setEnabled(false);

    view.speed = Add(window, IDC_SPEED, new CSpeedLabelStatic(&window));
    view.speed->SetValid(true);
    view.speed->SetKilometres(!AppSettings::Instance().ReadSpeedInMiles());
    view.speed->SetSpeed(0);
    view.speed->UpdateText();
    view.speed->setGeometry(377, 3, 81, 33);
    view.rate = Add(window, IDC_PB_SPEED, new CPbSpeedLabelStatic(&window));
    view.rate->SetText("", false);
    view.rate->setGeometry(468, 3, 60, 31);
}

void WindowAssembly::CreateLists(CVELDlg& window) {
    auto* fileList = Add(window, IDC_FILE_LIST, new CVelFileListCtrl(&window));
    auto* groupList = Add(window, IDC_GROUP_LIST, new CVelGroupListCtrl(&window));
    fileList->SetMessageTarget(&window);
    groupList->SetMessageTarget(&window);
    presenter.SetViews({groupList, fileList, view.curve, nullptr, view.surfaces[0]});
}

void WindowAssembly::CreateMap(CVELDlg& window) {
    auto* map = new CHtmlMapDlg(&window);
    window.m_pMapDlg = map;
    map->setVisible(window.m_bMapEnabled);
    QObject::connect(map, &CHtmlMapDlg::RoutePointClicked, &window, [this](int routePoint) {
        if (playback)
            playback->SeekToRoutePoint(routePoint);
    });
    QObject::connect(map, &CHtmlMapDlg::PageShown, &window, [this] {
        if (playback)
            playback->RedrawMap();
    });
    CatalogViewSet views = presenter.Views();
    views.map = map;
    presenter.SetViews(views);
}

void WindowAssembly::CreateFrameClock(CVELDlg& window) {
    CPbSpeedLabelStatic* rate = view.rate;
    view.frameClock = Add(window, IDC_FRAME_CLOCK, new CFrameClockStatic(&window));
    view.frameClock->SetObstacle(rate, [rate] { return rate->IsTextVisible(); });
    // I in full screen, whichever control holds the focus; off in the window,
    // where lists take typed letters.
    window.m_pFrameClockKey = new QShortcut(QKeySequence(Qt::Key_I), &window);
    window.m_pFrameClockKey->setEnabled(false);
    QObject::connect(window.m_pFrameClockKey, &QShortcut::activated, &window, [&window] {
        window.m_bFrameClockOverlay = !window.m_bFrameClockOverlay;
        window.ShowFrameClockOverlay(window.m_bFrameClockOverlay);
    });
}

void WindowAssembly::CreateLogic(CVELDlg& window) {
    view.presenter = &presenter;
    view.fitVideos = [&window] { window.FitVideosToAspect(); };
    view.gsensorPaneEnabled = [&window] { return window.m_bGSensorEnabled; };
    view.mapPaneEnabled = [&window] { return window.m_bMapEnabled; };
    catalog.Reset();

    PlaybackContext context;
    context.window = &window;
    context.catalog = &catalog;
    context.presenter = &presenter;
    context.view = &view;
    playback = std::make_unique<PlaybackLogic>(context, &frontPlayer, &rearPlayer);
    PlaybackController* controller = &playback->controller;
    QObject::connect(view.position, &CSkinnedSlider::Scrolled, controller,
                     &PlaybackController::OnPositionSliderScroll);
    QObject::connect(view.volume, &CSkinnedSlider::Scrolled, controller,
                     &PlaybackController::OnVolumeChanged);
    // The G-sensor cursor is drawn under the slider's thumb.
    QObject::connect(view.position, &CVideoSlider::SeekCursorMoved, view.curve,
                     &CGSensorCtrl::FollowSeekCursor);
}

void WindowAssembly::CreateInputHandlers(CVELDlg& window) {
    keys = std::make_unique<KeyboardShortcuts>(window);
    new ClipMarksHook(window);
    drops = std::make_unique<DropHandler>(window, [this](const DropTarget& target) {
        playback->open.OpenFolder(target.folder, target.file);
    });
    new StripMenu(
        window, [&window] { window.Command(IDC_CONF); },
        [&window] { KeyboardHelpDlg(&window).exec(); }, [&window] { window.Command(IDC_ABOUT); });
    new OverviewLink(window, presenter);
    window.m_pEmptyHint =
        new EmptyListHint(window.Control(IDC_FRONT_FRAME),
                          qobject_cast<QAbstractItemView*>(window.Control(IDC_FILE_LIST)));
}
