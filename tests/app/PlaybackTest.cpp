#include "PlaybackHarness.h"
#include "app/playback/SpeedTable.h"
#include "app/window/ControlIds.h"
#include "platform/WindowMessages.h"
#include "platform/widgets/MessageBox.h"
#include "strings/UiStrings.h"
#include "tests/support/core/TestVideos.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A card of two moments, each a front file in MOVF and its partner in MOVR,
// and a third front file without partner.
class PlaybackTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new QTemporaryDir;
        for (const char* name : {"MOVF/0001F.MOV", "MOVR/0001R.MOV", "MOVF/0002F.MOV",
                                 "MOVR/0002R.MOV", "MOVF/0003F.MOV"}) {
            QString error;
            ASSERT_TRUE(MakeTestVideo(Path(name), {1.0, 160, 90, true}, &error))
                << error.toStdString();
        }
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    static QString Path(const QString& name) { return dir_->filePath(name); }

    void SetUp() override {
        h_ = std::make_unique<Harness>();
        ASSERT_EQ(h_->front.m_bAvailable, 1);
        h_->Logic().Initialise();
    }
    // Files in list order: front and rear of each moment, then the lone front.
    void FillCatalog() {
        h_->AddGroup({Path("MOVF/0001F.MOV"), Path("MOVR/0001R.MOV")});
        h_->AddGroup({Path("MOVF/0002F.MOV"), Path("MOVR/0002R.MOV")});
        h_->AddGroup({Path("MOVF/0003F.MOV")});
    }
    QString FrontMedia() const { return QString::fromUtf8(h_->front.MediaPath()); }
    QString RearMedia() const { return QString::fromUtf8(h_->rear.MediaPath()); }
    bool FrontPlays(const QString& name) {
        return WaitUntil([&] {
            return QDir::cleanPath(FrontMedia()) == QDir::cleanPath(Path(name)) &&
                   h_->front.State() == libvlc_Playing;
        });
    }
    void StartGroup(int row) { h_->Logic().starter.OnGroupActivate(row); }

    static QTemporaryDir* dir_;
    std::unique_ptr<Harness> h_;
};
QTemporaryDir* PlaybackTest::dir_ = nullptr;

TEST_F(PlaybackTest, GroupActivationPlaysFrontWithSoundAndRearSilent) {
    FillCatalog();
    StartGroup(1);
    ASSERT_TRUE(FrontPlays("MOVF/0002F.MOV"));
    EXPECT_EQ(QDir::cleanPath(RearMedia()), QDir::cleanPath(Path("MOVR/0002R.MOV")));
    EXPECT_TRUE(WaitUntil([&] { return h_->rear.State() == libvlc_Playing; }));
    EXPECT_EQ(h_->catalog.currentFile(), 2);
    EXPECT_TRUE(h_->front.IsPlaying());
    EXPECT_TRUE(h_->rear.IsPlaying());
    EXPECT_EQ(h_->rear.AudioTrack(), -1);
    EXPECT_EQ(h_->rear.m_nVolume, 0);
    // The first time report clears the start guard and moves the slider.
    EXPECT_TRUE(WaitUntil([&] { return StartGuardProbe::Busy(h_->Logic().controller) == 0; }));
    EXPECT_TRUE(WaitUntil([&] { return h_->view.position.value() > 0; }));
    EXPECT_EQ(h_->view.playButton, 1);
}

TEST_F(PlaybackTest, RearFileActivatedPlaysItsFrontPartnerOnTheLeft) {
    FillCatalog();
    h_->Logic().starter.m_dwLastFileActivate -= 5000;
    h_->Logic().starter.OnFileActivate(1);
    ASSERT_TRUE(FrontPlays("MOVF/0001F.MOV"));
    EXPECT_EQ(QDir::cleanPath(RearMedia()), QDir::cleanPath(Path("MOVR/0001R.MOV")));
}

TEST_F(PlaybackTest, StartGuardDropsActivationsUntilTheFirstTimeReport) {
    FillCatalog();
    StartGroup(0);
    // Still inside the start: the second activation is dropped.
    ASSERT_EQ(StartGuardProbe::Busy(h_->Logic().controller), 1);
    StartGroup(1);
    EXPECT_EQ(h_->catalog.currentFile(), 0);
    ASSERT_TRUE(FrontPlays("MOVF/0001F.MOV"));
    ASSERT_TRUE(WaitUntil([&] { return StartGuardProbe::Busy(h_->Logic().controller) == 0; }));
    StartGroup(1);
    EXPECT_TRUE(FrontPlays("MOVF/0002F.MOV"));
}

TEST_F(PlaybackTest, FileActivationsWithinTwoSecondsAreDropped) {
    FillCatalog();
    FileStarter& starter = h_->Logic().starter;
    starter.m_dwLastFileActivate = FileStarter::TickCount() - 1000;
    h_->Logic().starter.OnFileActivate(2);
    EXPECT_EQ(h_->front.State(), libvlc_NothingSpecial);
    starter.m_dwLastFileActivate = FileStarter::TickCount() - 2100;
    h_->Logic().starter.OnFileActivate(2);
    EXPECT_TRUE(FrontPlays("MOVF/0002F.MOV"));
}

TEST_F(PlaybackTest, EndOfFileWithLoopSkipsThePartnerAndWrapsAround) {
    FillCatalog();
    StartGroup(1);
    ASSERT_TRUE(FrontPlays("MOVF/0002F.MOV"));
    // 0002F ends: its partner row is skipped, the lone front file follows.
    ASSERT_TRUE(FrontPlays("MOVF/0003F.MOV"));
    EXPECT_EQ(h_->catalog.currentFile(), 4);
    // Without a partner the rear picture is emptied.
    EXPECT_FALSE(h_->rear.HasMedia());
    // The last file wraps around to the first.
    ASSERT_TRUE(FrontPlays("MOVF/0001F.MOV"));
    EXPECT_EQ(h_->catalog.currentFile(), 0);
}

TEST_F(PlaybackTest, EndOfFileWithLoopOffStaysStopped) {
    FillCatalog();
    h_->Logic().OnCommand(IDC_LOOP);
    StartGroup(2);
    ASSERT_TRUE(FrontPlays("MOVF/0003F.MOV"));
    ASSERT_TRUE(WaitUntil([&] { return !h_->front.IsPlaying(); }));
    Pump(600);
    EXPECT_EQ(h_->catalog.currentFile(), 4);
    EXPECT_NE(h_->front.State(), libvlc_Playing);
    EXPECT_EQ(h_->view.position.value(), h_->view.seekMinimum.load());
}

TEST_F(PlaybackTest, StopThenPlayPlaysNothingUntilAFileIsStartedAgain) {
    FillCatalog();
    h_->Logic().OnCommand(IDC_LOOP);
    StartGroup(0);
    ASSERT_TRUE(FrontPlays("MOVF/0001F.MOV"));
    ASSERT_TRUE(WaitUntil([&] { return StartGuardProbe::Busy(h_->Logic().controller) == 0; }));
    h_->Logic().OnCommand(IDC_FAST);
    h_->Logic().OnCommand(IDC_STOP);
    EXPECT_EQ(h_->front.State(), libvlc_Stopped);
    EXPECT_TRUE(h_->view.hidden[0] && h_->view.hidden[1]);
    EXPECT_FLOAT_EQ(h_->front.Rate(), 1.0f);
    // The label keeps the last rate until the next start.
    EXPECT_EQ(h_->view.rateText, "1.2 X");
    h_->Logic().OnCommand(IDC_PLAY);
    Pump(300);
    EXPECT_EQ(h_->front.State(), libvlc_Stopped);
    StartGroup(0);
    EXPECT_TRUE(FrontPlays("MOVF/0001F.MOV"));
    EXPECT_FALSE(h_->view.hidden[0]);
}

TEST_F(PlaybackTest, PlayTogglesPauseOnBothPlayers) {
    FillCatalog();
    h_->Logic().OnCommand(IDC_LOOP);
    for (int i = 0; i < 7; ++i)
        h_->Logic().OnCommand(IDC_SLOW);
    StartGroup(0);
    ASSERT_TRUE(FrontPlays("MOVF/0001F.MOV"));
    h_->Logic().OnCommand(IDC_PLAY);
    EXPECT_TRUE(WaitUntil([&] { return h_->front.State() == libvlc_Paused; }));
    EXPECT_TRUE(WaitUntil([&] { return h_->rear.State() == libvlc_Paused; }));
    EXPECT_TRUE(WaitUntil([&] { return h_->view.playButton == 0; }));
    EXPECT_TRUE(h_->front.IsPaused());
    h_->Logic().OnCommand(IDC_PLAY);
    EXPECT_TRUE(WaitUntil([&] { return h_->front.State() == libvlc_Playing; }));
    EXPECT_TRUE(WaitUntil([&] { return h_->view.playButton == 1; }));
}

TEST_F(PlaybackTest, PauseWhileFilesStillOpenHoldsOnceTheyPlay) {
    FillCatalog();
    StartGroup(0);
    h_->Logic().OnCommand(IDC_PLAY);
    EXPECT_TRUE(WaitUntil([&] { return h_->front.State() == libvlc_Paused; }));
    EXPECT_TRUE(WaitUntil([&] { return h_->rear.State() == libvlc_Paused; }));
    EXPECT_TRUE(h_->front.IsPaused());
    EXPECT_TRUE(h_->rear.IsPaused());
}

TEST_F(PlaybackTest, FastAndSlowWalkTheRateTable) {
    PlaybackController& c = h_->Logic().controller;
    for (int i = 0; i < 20; ++i)
        h_->Logic().OnCommand(IDC_FAST);
    EXPECT_EQ(c.m_nSpeedIndex, 17);
    EXPECT_EQ(h_->view.rateText, "4.0 X");
    EXPECT_TRUE(h_->view.rateVisible);
    EXPECT_FLOAT_EQ(h_->front.m_fRate, 4.0f);
    EXPECT_FLOAT_EQ(h_->rear.Rate(), 4.0f);
    for (int i = 0; i < 20; ++i)
        h_->Logic().OnCommand(IDC_SLOW);
    EXPECT_EQ(c.m_nSpeedIndex, 0);
    EXPECT_EQ(h_->view.rateText, "0.3 X");
    for (int i = 0; i < 7; ++i)
        h_->Logic().OnCommand(IDC_FAST);
    EXPECT_EQ(h_->view.rateText, "1.0 X");
    EXPECT_FALSE(h_->view.rateVisible);
}

TEST_F(PlaybackTest, VolumeSliderDrivesOnlyTheFrontPlayer) {
    for (int p : {100, 0, 37}) {
        h_->view.volume.setValue(p);
        SendWindowMessage(&h_->view.window, WM_VOLUME_CHANGED);
        EXPECT_EQ(h_->front.m_nVolume, 2 * p);
        EXPECT_EQ(h_->rear.m_nVolume, 0);
    }
}

TEST_F(PlaybackTest, SeekLandsWithinHalfASecond) {
    FillCatalog();
    h_->Logic().OnCommand(IDC_LOOP);
    // Slow playback leaves time to seek inside the one-second file.
    for (int i = 0; i < 5; ++i)
        h_->Logic().OnCommand(IDC_SLOW);
    StartGroup(0);
    ASSERT_TRUE(FrontPlays("MOVF/0001F.MOV"));
    ASSERT_TRUE(WaitUntil([&] { return h_->front.GetLength() > 0; }));
    const int64_t length = h_->front.GetLength();
    h_->view.position.setValue(700);
    SendWindowMessage(&h_->view.window, WM_SEEK_REQUEST);
    const int64_t target = (length / 1000) * 700;
    EXPECT_EQ(h_->Logic().controller.m_nPendingSeekMs, target);
    EXPECT_TRUE(h_->view.seekHappened);
    EXPECT_TRUE(WaitUntil([&] { return h_->Logic().controller.m_nPendingSeekMs == 0; }, 600));
    EXPECT_EQ(h_->view.plottedTo, std::vector<int64_t>{target});
    EXPECT_TRUE(WaitUntil([&] { return std::abs(h_->front.GetTime() - target) < 250; }, 500));
}

TEST_F(PlaybackTest, SeekWithBothPlayersStoppedIsNoSeek) {
    h_->view.position.setValue(500);
    SendWindowMessage(&h_->view.window, WM_SEEK_REQUEST);
    EXPECT_EQ(h_->Logic().controller.m_nPendingSeekMs, 0);
}

TEST_F(PlaybackTest, PlayerErrorShowsTheErrorBox) {
    MessageBoxRecorder boxes;
    FillCatalog(); // the card is still there
    h_->AddGroup({Path("MOVF/missing-0009F.MOV")});
    h_->front.OpenMedia(Path("MOVF/missing-0009F.MOV"), 0);
    h_->front.Play();
    ASSERT_TRUE(WaitUntil([&] { return !boxes.calls.empty(); }));
    EXPECT_EQ(boxes.calls[0].text, LoadUiString(UiStringId::kPlayerError));
    EXPECT_EQ(boxes.calls[0].caption, "Halvex");
}

TEST(PlaybackWithoutLibrary, WarnsTwiceAndSurvivesEveryAction) {
    MessageBoxRecorder boxes;
    Harness h("libhalvex-no-such-library.so");
    h.Logic().Initialise();
    ASSERT_EQ(boxes.calls.size(), 2u);
    for (const MessageBoxCall& call : boxes.calls) {
        EXPECT_EQ(call.text, LoadUiString(UiStringId::kVideoComponentFailed));
        EXPECT_EQ(call.caption, LoadUiString(UiStringId::kWarningCaption));
    }
    h.AddGroup({"/nowhere/0001F.MOV"});
    for (int id : {IDC_PLAY, IDC_FAST, IDC_SLOW, IDC_VOL, IDC_STOP, IDC_PLAY})
        h.Logic().OnCommand(id);
    for (unsigned m : {WM_SEEK_REQUEST, WM_VOLUME_CHANGED})
        SendWindowMessage(&h.view.window, m);
    h.Logic().starter.OnPlayerEnd();
    h.Logic().starter.OnGroupActivate(0);
    StartGuardProbe::Set(h.Logic().controller, 0);
    h.Logic().starter.m_dwLastFileActivate -= 5000;
    h.Logic().starter.OnFileActivate(0);
    Pump(200);
    EXPECT_FALSE(h.front.IsPlaying());
    EXPECT_EQ(boxes.calls.size(), 2u);
}

} // namespace
