#include "app/window/CVELDlg.h"
#include "app/window/ControlIds.h"
#include "app/window/MainLayout.h"
#include "app/window/PlaybackLogic.h"
#include "app/window/WindowPlacement.h"
#include "controls/CKesToolTipCtrl.h"
#include "platform/IniFile.h"
#include "platform/WindowMessages.h"
#include "platform/widgets/MessageBox.h"
#include "player/CVlcPlayer.h"
#include "settings/AppSettings.h"
#include "strings/UiStrings.h"
#include "tests/support/core/ScratchSettings.h"
#if HALVEX_HAVE_SYNTH
#include "tools/synth/CameraNaming.h"
#include "tools/synth/RecordingWriter.h"
#endif

#include <QAbstractButton>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

bool ShowAndWait(QWidget& w) {
    w.show();
    QElapsedTimer clock;
    clock.start();
    while (!w.isVisible() || w.width() == 0) {
        if (clock.elapsed() > 5000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return true;
}

// A main window whose settings file lives in a fresh folder.
class MainWindowTest : public ScratchSettingsTest {
  protected:
    MessageBoxRecorder boxes_;
};

TEST_F(MainWindowTest, ControlsSitWhereTheLayoutPutsThem) {
    CVELDlg dlg;
    ASSERT_TRUE(ShowAndWait(dlg));
    ASSERT_EQ(dlg.size(), QSize(800, 560));

    MainLayoutInput in;
    in.cx = 800;
    in.cy = 560;
    in.gsensorHeight = dlg.Control(IDC_GSENSOR)->height();
    for (const auto& [id, rect] : LayoutControls(in).controls) {
        if (id == IDC_FRONT_FRAME || id == IDC_REAR_FRAME || id == IDC_GSENSOR)
            continue; // frames are cut to the video; the curve's height feeds the layout
        ASSERT_NE(dlg.Control(id), nullptr) << id;
        EXPECT_EQ(dlg.Control(id)->geometry(), rect) << id;
    }
}

TEST_F(MainWindowTest, ToolTipsAreRegisteredInTheirOrder) {
    CVELDlg dlg;
    ASSERT_TRUE(ShowAndWait(dlg));
    const int order[] = {IDC_ABOUT,         IDC_CONF,     IDC_DEL,      IDC_CLOSE,  IDC_FAST,
                         IDC_FLIP,          IDC_GSR,      IDC_KML,      IDC_LOCK,   IDC_LOOP,
                         IDC_MAP,           IDC_MAXIMIZE, IDC_MINIMIZE, IDC_OPEN,   IDC_PLAY,
                         IDC_SAVE,          IDC_SLOW,     IDC_SNAP,     IDC_STOP,   IDC_VOL,
                         IDC_VOLUME_SLIDER, IDC_SPEED,    IDC_SIZE_S,   IDC_SIZE_M, IDC_SIZE_L};
    const std::vector<QWidget*> tools = dlg.ToolTip()->RegisteredTools();
    ASSERT_EQ(tools.size(), std::size(order));
    for (size_t i = 0; i < tools.size(); ++i)
        EXPECT_EQ(tools[i], dlg.Control(order[i])) << i;
    ASSERT_EQ(dlg.ToolTip()->IconEntries().size(), std::size(order));
    EXPECT_EQ(dlg.ToolTip()->IconEntries().front().bitmapId, 161);
}

TEST_F(MainWindowTest, EscapeKeepsTheWindowAndClosingSavesItsRectangle) {
    IniFile::WriteString(Ini(), "WINPOS", "LEFT", "30");
    IniFile::WriteString(Ini(), "WINPOS", "TOP", "40");
    IniFile::WriteString(Ini(), "WINPOS", "RIGHT", "930");
    IniFile::WriteString(Ini(), "WINPOS", "BOTTOM", "700");
    CVELDlg dlg;
    ASSERT_TRUE(ShowAndWait(dlg));
    EXPECT_EQ(dlg.size(), QSize(900, 660));

    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&dlg, &escape);
    EXPECT_TRUE(dlg.isVisible());

    dlg.resize(1000, 700);
    dlg.close();
    EXPECT_FALSE(dlg.isVisible());
    const QPoint origin = dlg.geometry().topLeft();
    EXPECT_EQ(IniFile::ReadInt(Ini(), "WINPOS", "RIGHT", -1), origin.x() + 1000);
    EXPECT_EQ(IniFile::ReadInt(Ini(), "WINPOS", "BOTTOM", -1), origin.y() + 700);
    EXPECT_EQ(IniFile::ReadInt(Ini(), "WINPOS", "LEFT", -1), origin.x());
}

TEST_F(MainWindowTest, PaneTogglesAreRememberedAndLaidOut) {
    CVELDlg dlg;
    ASSERT_TRUE(ShowAndWait(dlg));
    const int videoHeight = dlg.Control(IDC_POSITION_SLIDER)->y();
    static_cast<QAbstractButton*>(dlg.Control(IDC_GSR))->click();
    EXPECT_FALSE(dlg.Control(IDC_GSENSOR)->isVisible());
    EXPECT_GT(dlg.Control(IDC_POSITION_SLIDER)->y(), videoHeight);
    EXPECT_EQ(IniFile::ReadInt(Ini(), "UI", "GSNR_ENABLE", -1), 0);

    static_cast<QAbstractButton*>(dlg.Control(IDC_MAP))->click();
    EXPECT_EQ(dlg.Control(IDC_FILE_LIST)->y(), 48);
    EXPECT_EQ(IniFile::ReadInt(Ini(), "UI", "MAP_ENABLE", -1), 0);
}

TEST_F(MainWindowTest, PresetSizesAndMaximiseMoveTheWindow) {
    CVELDlg dlg;
    ASSERT_TRUE(ShowAndWait(dlg));
    const QRect monitor = dlg.screen()->geometry();
    auto click = [&](int id) {
        static_cast<QAbstractButton*>(dlg.Control(id))->click();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    };
    click(IDC_SIZE_S);
    const QRect small = dlg.geometry();
    EXPECT_EQ(small, PresetWindowRect(WindowPreset::Small, monitor));

    click(IDC_MAXIMIZE);
    EXPECT_TRUE(dlg.IsMaximized());
    EXPECT_EQ(dlg.geometry(), monitor);
    click(IDC_MAXIMIZE);
    EXPECT_FALSE(dlg.IsMaximized());
    EXPECT_EQ(dlg.geometry(), small) << "[ ] twice comes back";

    // S while maximised leaves maximised mode: the next [ ] maximises again.
    click(IDC_MAXIMIZE);
    click(IDC_SIZE_S);
    EXPECT_FALSE(dlg.IsMaximized());
    click(IDC_MAXIMIZE);
    EXPECT_TRUE(dlg.IsMaximized());

    click(IDC_SIZE_M);
    EXPECT_EQ(dlg.geometry(), PresetWindowRect(WindowPreset::Medium, monitor));
    click(IDC_SIZE_L);
    EXPECT_EQ(dlg.geometry(), monitor);
    EXPECT_FALSE(dlg.IsMaximized());
}

TEST_F(MainWindowTest, DoubleClickOnAVideoWithNothingListedStaysInTheWindow) {
    CVELDlg dlg;
    ASSERT_TRUE(ShowAndWait(dlg));
    const QRect before = dlg.geometry();
    SendWindowMessage(&dlg, WM_VIDEO_DBLCLK);
    EXPECT_FALSE(dlg.IsFullScreen());
    EXPECT_EQ(dlg.geometry(), before);
}

#if HALVEX_HAVE_SYNTH
// Runs the event loop until done() or 8 s are up.
template <typename Done> bool WaitFor(Done done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 8000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return done();
}

TEST_F(MainWindowTest, DoubleClickedVideoFillsTheMonitorAndComesBack) {
    QTemporaryDir card;
    const synth::CameraPair names = synth::CameraNames(synth::Naming::Chunk, "DCIM", "FILE", 10);
    synth::RecordingRecipe recipe;
    recipe.durationMs = 20000;
    for (const QString& name : {names.front, names.rear}) {
        QString error;
        ASSERT_TRUE(synth::WriteRecording(recipe, card.filePath(name), &error))
            << error.toStdString();
    }
    CVELDlg dlg;
    ASSERT_TRUE(ShowAndWait(dlg));
    dlg.OpenFolder(card.path());
    QWidget* rear = dlg.Control(IDC_REAR_VIDEO);
    ASSERT_TRUE(WaitFor([&] { return rear->isVisible(); })) << "the pair plays";
    const QRect window = dlg.geometry();
    const QRect monitor = dlg.screen()->geometry();

    QCursor::setPos(rear->mapToGlobal(rear->rect().center()));
    SendWindowMessage(&dlg, WM_VIDEO_DBLCLK);
    EXPECT_TRUE(dlg.IsFullScreen());
    EXPECT_EQ(dlg.FullScreenVideo(), 2);
    EXPECT_TRUE(WaitFor([&] { return dlg.geometry().size() == monitor.size(); }));
    EXPECT_FALSE(dlg.Control(IDC_PLAY)->isVisible());
    EXPECT_FALSE(dlg.Control(IDC_FILE_LIST)->isVisible());
    EXPECT_FALSE(dlg.Control(IDC_FRONT_VIDEO)->isVisible());
    EXPECT_TRUE(rear->isVisible());
    // The 640 x 360 picture, fitted across the monitor's width.
    EXPECT_TRUE(WaitFor([&] { return rear->width() == monitor.width(); }));
    EXPECT_EQ(rear->height(), monitor.width() * 360 / 640);

    SendWindowMessage(&dlg, WM_VIDEO_DBLCLK);
    EXPECT_FALSE(dlg.IsFullScreen());
    EXPECT_TRUE(WaitFor([&] { return dlg.geometry() == window; }));
    EXPECT_TRUE(dlg.Control(IDC_PLAY)->isVisible());
    EXPECT_TRUE(dlg.Control(IDC_FRONT_VIDEO)->isVisible());
    EXPECT_FALSE(dlg.Control(IDC_FLIP)->isVisible());
    EXPECT_LT(rear->width(), window.width() / 2);
}

// The players wait while the window changes shape, then go on as they were;
// a stopped recording is started again by the toggle.
TEST_F(MainWindowTest, FullScreenKeepsPlayingAndPausedAndRestartsStopped) {
    QTemporaryDir card;
    const synth::CameraPair names = synth::CameraNames(synth::Naming::Chunk, "DCIM", "FILE", 10);
    synth::RecordingRecipe recipe;
    recipe.durationMs = 60000;
    QString error;
    ASSERT_TRUE(synth::WriteRecording(recipe, card.filePath(names.front), &error))
        << error.toStdString();
    CVELDlg dlg;
    ASSERT_TRUE(ShowAndWait(dlg));
    dlg.OpenFolder(card.path());
    const CVlcPlayer* front = dlg.Playback()->Players().Front();
    ASSERT_TRUE(
        WaitFor([&] { return front->State() == libvlc_Playing && front->GetTime() > 300; }));
    auto click = [&](int id) {
        QWidget* button = dlg.Control(id);
        QTest::mouseClick(dlg.windowHandle(), Qt::LeftButton, {},
                          button->mapTo(&dlg, button->rect().center()));
    };
    const struct {
        const char* name;
        int button; // clicked before the toggle; 0 for none
        libvlc_state_t after;
    } cases[] = {
        {"playing", 0, libvlc_Playing},
        {"paused", IDC_PLAY, libvlc_Paused},
        {"stopped", IDC_STOP, libvlc_Playing},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.button)
            click(c.button);
        QTest::keyClick(dlg.windowHandle(), Qt::Key_F);
        ASSERT_TRUE(dlg.IsFullScreen());
        EXPECT_TRUE(WaitFor([&] { return front->State() == c.after; }));
        EXPECT_EQ(front->IsPlaying(), c.after == libvlc_Playing);
        QTest::keyClick(dlg.windowHandle(), Qt::Key_F);
        ASSERT_FALSE(dlg.IsFullScreen());
        ASSERT_TRUE(WaitFor([&] { return dlg.Control(IDC_PLAY)->isVisible(); }));
        if (c.after == libvlc_Paused)
            click(IDC_PLAY);
        ASSERT_TRUE(WaitFor([&] { return front->State() == libvlc_Playing; }));
    }
}
#endif

TEST_F(MainWindowTest, FileButtonsReachTheirCommands) {
    CVELDlg dlg;
    ASSERT_TRUE(ShowAndWait(dlg));
    // Nothing is listed, so each says so instead of acting.
    for (int id : {IDC_DEL, IDC_LOCK, IDC_SAVE, IDC_KML, IDC_SNAP}) {
        boxes_.calls.clear();
        static_cast<QAbstractButton*>(dlg.Control(id))->click();
        ASSERT_EQ(boxes_.calls.size(), 1u) << id;
        EXPECT_EQ(boxes_.calls[0].text, LoadUiString(UiStringId::kNoFilesInList)) << id;
    }
}

} // namespace
