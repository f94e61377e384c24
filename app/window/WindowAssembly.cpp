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
#include "app/window/WindowControls.h"
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
#include "settings/SettingKeys.h"

namespace {

struct ButtonFace {
    int id;
    CGdipButton* WindowControls::*button;
    unsigned picture;
    unsigned alternate; // 0: none
    bool toggle;
};

const ButtonFace kButtons[] = {
    {IDC_OPEN, &WindowControls::open, 139, 0, false},
    {IDC_SAVE, &WindowControls::save, 141, 0, false},
    {IDC_SNAP, &WindowControls::snap, 140, 0, false},
    {IDC_DEL, &WindowControls::del, 142, 0, false},
    {IDC_CONF, &WindowControls::conf, 0, 0, false},
    {IDC_PLAY, &WindowControls::play, 129, 132, false},
    {IDC_STOP, &WindowControls::stop, 133, 0, false},
    {IDC_FAST, &WindowControls::fast, 136, 0, false},
    {IDC_SLOW, &WindowControls::slow, 137, 0, false},
    {IDC_LOOP, &WindowControls::loop, 143, 176, true},
    {IDC_FLIP, &WindowControls::flip, 0, 0, false},
    {IDC_KML, &WindowControls::kml, 145, 0, false},
    {IDC_MAP, &WindowControls::map, 146, 0, false},
    {IDC_GSR, &WindowControls::gsr, 147, 0, false},
    {IDC_LOCK, &WindowControls::lock, 201, 148, false},
    {IDC_MINIMIZE, &WindowControls::minimize, 153, 0, false},
    {IDC_CLOSE, &WindowControls::close, 151, 0, false},
    {IDC_MAXIMIZE, &WindowControls::maximize, 152, 0, false},
    {IDC_ABOUT, &WindowControls::about, 154, 0, false},
    {IDC_VOL, &WindowControls::vol, 156, 155, true},
    {IDC_SIZE_S, &WindowControls::sizeS, 1045, 0, false},
    {IDC_SIZE_M, &WindowControls::sizeM, 187, 0, false},
    {IDC_SIZE_L, &WindowControls::sizeL, 188, 0, false},
};

} // namespace

WindowAssembly::WindowAssembly(CVELDlg& window, WindowControls& controls) {
    CreateButtons(window, controls);
    CreateVideos(window, controls);
    CreateReadOuts(window, controls);
    CreateLists(window, controls);
    CreateMap(window, controls);
    CreateFrameClock(window, controls);
    CreateLogic(window, controls);
    controls.m_pToolTip = new CKesToolTipCtrl(&window);
    controls.m_pToolTip->Activate(true);
    CreateInputHandlers(window, controls);
}

// Input goes first; the logic detaches the players' events as it goes.
WindowAssembly::~WindowAssembly() = default;

void WindowAssembly::CreateButtons(CVELDlg& window, WindowControls& c) {
    for (const ButtonFace& b : kButtons) {
        auto* button = new CGdipButton(&window);
        c.*b.button = button;
        if (b.picture)
            button->LoadStdImage(b.picture);
        if (b.alternate)
            button->LoadAltImage(b.alternate);
        button->EnableToggle(b.toggle);
        button->setFocusPolicy(b.id == IDC_PLAY ? Qt::StrongFocus : Qt::NoFocus);
        QObject::connect(button, &QPushButton::clicked, &window,
                         [&window, id = b.id] { window.Command(id); });
    }
    view.play = c.play;
    view.mute = c.vol;
    view.lock = c.lock;
    view.play->setFocus();
    // The KML button's click stays the KML export; its right-click offers
    // the other formats and whole trips.
    CGdipButton* kml = c.kml;
    kml->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(kml, &QWidget::customContextMenuRequested, &window, [this, kml](QPoint at) {
        if (playback)
            playback->exports.ShowMenu(kml->mapToGlobal(at));
    });
    for (CGdipButton* unused : {c.conf, c.flip}) {
        unused->hide();
        unused->setEnabled(false);
    }
}

void WindowAssembly::CreateVideos(CVELDlg& window, WindowControls& c) {
    // Frames first so that the surfaces lie above them.
    view.frames[0] = c.frontFrame = new CVideoStaticBg(&window);
    view.frames[1] = c.rearFrame = new CVideoStaticBg(&window);
    view.surfaces[0] = c.frontVideo = new CVideoStatic(&window);
    view.surfaces[1] = c.rearVideo = new CVideoStatic(&window);

    view.curve = c.gsensor = new CGSensorCtrl(&window);
    view.curve->resize(100, 100);
    view.curve->setVisible(window.GSensorPaneEnabled());
    view.position = c.position = new CVideoSlider(&window);
    view.position->setRange(0, 1000);
    view.volume = c.volume = new CMySliderControl(&window);
    view.volume->setRange(0, 100);
    view.volume->setValue(50);
}

void WindowAssembly::CreateReadOuts(CVELDlg& window, WindowControls& c) {
    view.gps = c.gps = new CPngStatic(&window);
    view.gps->SetPicture(150);
    view.gps->SetColor(false);
    view.gps->setGeometry(285, 8, 29, 26);
    c.logo = new CPngStatic(&window);
    c.logo->SetPicture(157);
    c.logo->SetColor(true);
    c.logo->setGeometry(8, 4, 40, 40);

    view.compass = c.compass = new CPngCompassStatic(&window);
    for (unsigned id = 167; id <= 174; ++id)
        view.compass->AddImage(id);
    view.compass->SetHeadingIndex(0);
    view.compass->setGeometry(308, 5, 32, 32);
    view.compass->hide();
    view.compass->setEnabled(false);

    view.speed = c.speed = new CSpeedLabelStatic(&window);
    view.speed->SetValid(true);
    view.speed->SetKilometres(AppSettings::Instance().Read(SettingKeys::kSpeedInMiles) == 0);
    view.speed->SetSpeed(0);
    view.speed->UpdateText();
    view.speed->setGeometry(377, 3, 81, 33);
    view.rate = c.rate = new CPbSpeedLabelStatic(&window);
    view.rate->SetText("", false);
    view.rate->setGeometry(468, 3, 60, 31);
}

void WindowAssembly::CreateLists(CVELDlg& window, WindowControls& c) {
    c.fileList = new CVelFileListCtrl(&window);
    c.groupList = new CVelGroupListCtrl(&window);
    presenter.SetViews({c.groupList, c.fileList, view.curve, nullptr, view.surfaces[0]});
}

void WindowAssembly::CreateMap(CVELDlg& window, WindowControls& c) {
    auto* map = new CHtmlMapDlg(&window);
    c.m_pMapDlg = map;
    map->setVisible(window.MapPaneEnabled());
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

void WindowAssembly::CreateFrameClock(CVELDlg& window, WindowControls& c) {
    CPbSpeedLabelStatic* rate = view.rate;
    view.frameClock = c.frameClock = new CFrameClockStatic(&window);
    view.frameClock->SetObstacle(rate, [rate] { return rate->IsTextVisible(); });
}

void WindowAssembly::CreateLogic(CVELDlg& window, WindowControls& c) {
    view.presenter = &presenter;
    view.fitVideos = [&window] { window.FitVideosToAspect(); };
    view.gsensorPaneEnabled = [&window] { return window.GSensorPaneEnabled(); };
    view.mapPaneEnabled = [&window] { return window.MapPaneEnabled(); };
    catalog.Reset();

    PlaybackContext context;
    context.window = &window;
    context.catalog = &catalog;
    context.presenter = &presenter;
    context.view = &view;
    playback = std::make_unique<PlaybackLogic>(context, &frontPlayer, &rearPlayer);
    PlaybackController* controller = &playback->controller;
    FileStarter* starter = &playback->starter;
    QObject::connect(c.groupList, &CVelListCtrl::RowActivated, &window,
                     [starter](int row) { starter->OnGroupActivate(row); });
    QObject::connect(c.fileList, &CVelListCtrl::RowActivated, &window,
                     [starter](int row) { starter->OnFileActivate(row); });
    QObject::connect(view.position, &CSkinnedSlider::Scrolled, controller,
                     &PlaybackController::OnPositionSliderScroll);
    QObject::connect(view.volume, &CSkinnedSlider::Scrolled, controller,
                     &PlaybackController::OnVolumeChanged);
    // The G-sensor cursor is drawn under the slider's thumb.
    QObject::connect(view.position, &CVideoSlider::SeekCursorMoved, view.curve,
                     &CGSensorCtrl::FollowSeekCursor);
}

void WindowAssembly::CreateInputHandlers(CVELDlg& window, WindowControls& c) {
    c.clipMarks = new ClipMarksHook(window, c.position, playback->Players());
    keys = std::make_unique<KeyboardShortcuts>(window, *c.clipMarks, *c.vol);
    drops = std::make_unique<DropHandler>(window, [this](const DropTarget& target) {
        playback->open.OpenFolder(target.folder, target.file);
    });
    auto* strip = new StripMenu(
        window, [&window] { window.Command(IDC_CONF); },
        [&window] { KeyboardHelpDlg(&window).exec(); }, [&window] { window.Command(IDC_ABOUT); });
    c.overview = new OverviewLink(window, presenter, playback->Players(), *c.clipMarks);
    strip->SetOverview([overview = c.overview] { overview->Open(); });
    c.emptyHint = new EmptyListHint(c.frontFrame, c.fileList);
}
