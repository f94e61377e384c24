// The hold around a command and the guard around file starts, on real
// players playing real files.
#include "app/playback/PlayerPair.h"
#include "PlaybackHarness.h"
#include "app/window/ControlIds.h"
#include "platform/WindowMessages.h"

#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

class PlayerPairTest : public RecordedPairTest {
  protected:
    // Starts the pair of group 0 and waits until both pictures move and the
    // start is over.
    void PlayPair() {
        h_->Logic().starter.OnGroupActivate(0);
        ASSERT_TRUE(WaitUntil([&] { return h_->front.GetTime() > 300; }));
        ASSERT_TRUE(WaitUntil([&] { return h_->rear.GetTime() > 300; }));
        ASSERT_TRUE(WaitUntil([&] { return StartGuardProbe::Busy(Controller()) == 0; }));
    }
    PlaybackController& Controller() { return h_->Logic().controller; }
    PlayerPair& Players() { return h_->Logic().Players(); }
};

// A player's marks: playing, paused.
using Marks = std::pair<int, int>;
Marks MarksOf(const CVlcPlayer& p) {
    return {int(p.IsPlaying()), int(p.IsPaused())};
}
constexpr Marks kPlaying{1, 0}, kPaused{0, 1}, kStopped{0, 0};

TEST_F(PlayerPairTest, AHoldPlaysAgainOnlyWhatItPausedAndWhatStillWaits) {
    struct Case {
        const char* name;
        std::function<void(Harness&)> before; // after the pair plays
        std::function<void(Harness&)> during; // inside the hold
        Marks front, rear;                    // once the hold is gone
    };
    const Case cases[] = {
        {"both playing", {}, {}, kPlaying, kPlaying},
        {"rear paused by the user",
         [](Harness& h) { h.Logic().Players().Pause(h.rear); },
         {},
         kPlaying,
         kPaused},
        {"the act stops both",
         {},
         [](Harness& h) { h.Logic().controller.StopPlayers(); },
         kStopped,
         kStopped},
        {"the act empties the rear picture",
         {},
         [](Harness& h) { h.rear.Recreate(0); },
         kPlaying,
         kPaused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlayPair();
        if (c.before)
            c.before(*h_);
        const Marks rearBefore = MarksOf(h_->rear);
        {
            const PlayerPair::Hold hold(Players());
            EXPECT_EQ(MarksOf(h_->front), kPaused);
            EXPECT_EQ(MarksOf(h_->rear), rearBefore == kPlaying ? kPaused : rearBefore);
            if (c.during)
                c.during(*h_);
        }
        EXPECT_EQ(MarksOf(h_->front), c.front);
        EXPECT_EQ(MarksOf(h_->rear), c.rear);
        if (c.front == kPlaying) {
            EXPECT_TRUE(WaitUntil([&] { return h_->front.State() == libvlc_Playing; }));
        }
        Controller().OnStop();
    }
}

// The pair's state follows what the players are told, each change of phase
// announced once; the play time of the current start reaches the state and
// its subscribers, a report of a start that is over does not.
TEST_F(PlayerPairTest, TheStateFollowsThePlayersAndTheCurrentStartsTime) {
    EXPECT_EQ(Players().State().phase, PlayPhase::Idle);
    std::vector<PlayPhase> phases;
    std::vector<std::pair<qint64, qint64>> times;
    QObject::connect(&Players(), &PlayerPair::PhaseChanged,
                     [&phases](PlayPhase phase) { phases.push_back(phase); });
    QObject::connect(&Players(), &PlayerPair::TimeChanged,
                     [&times](qint64 t, qint64 length) { times.emplace_back(t, length); });

    PlayPair();
    ASSERT_TRUE(WaitUntil([&] { return !times.empty() && times.back().first > 300; }));
    const PlaybackState& state = Players().State();
    EXPECT_EQ(state.phase, PlayPhase::Playing);
    EXPECT_EQ(state.start, Players().CurrentStart());
    EXPECT_EQ(state.timeMs, times.back().first);
    EXPECT_NEAR(double(state.lengthMs), 20000.0, 500.0);

    // A report made for an earlier start arrives after the next one began.
    Players().ReportTime(1234, 5678, Players().CurrentStart() - 1);
    Pump(200);
    EXPECT_EQ(std::count(times.begin(), times.end(), std::pair<qint64, qint64>(1234, 5678)), 0);
    EXPECT_NE(state.timeMs, 1234);

    Controller().OnPlay();
    EXPECT_EQ(state.phase, PlayPhase::Paused);
    Controller().OnStop();
    EXPECT_EQ(state.phase, PlayPhase::Stopped);
    // The group's start stops the idle players before it plays them.
    const std::vector<PlayPhase> expected = {PlayPhase::Stopped, PlayPhase::Playing,
                                             PlayPhase::Paused, PlayPhase::Stopped};
    EXPECT_EQ(phases, expected);
}

// A hold over stopped or idle players does nothing to them.
TEST_F(PlayerPairTest, AHoldLeavesStoppedPlayersStopped) {
    PlayPair();
    Controller().OnStop();
    { const PlayerPair::Hold hold(Players()); }
    EXPECT_EQ(MarksOf(h_->front), kStopped);
    EXPECT_EQ(MarksOf(h_->rear), kStopped);
    Pump(300);
    EXPECT_EQ(h_->front.State(), libvlc_Stopped);
}

TEST_F(PlayerPairTest, WhileAStartIsInProgressNoCommandStartsAnother) {
    PlayPair();
    const QByteArray playing = h_->front.MediaPath();
    struct Case {
        const char* name;
        std::function<void(Harness&)> start;
    };
    bool folderAsked = false;
    h_->Logic().open.chooseFolder = [&](QString*) { return folderAsked = true, false; };
    const Case cases[] = {
        {"group activation", [](Harness& h) { h.Logic().starter.OnGroupActivate(1); }},
        {"file activation",
         [](Harness& h) {
             h.Logic().starter.m_dwLastFileActivate -= 5000;
             h.Logic().starter.OnFileActivate(2);
         }},
        {"next recording", [](Harness& h) { h.Logic().starter.StartNeighbour(1); }},
        {"OPEN", [](Harness& h) { h.Logic().OnCommand(IDC_OPEN); }},
        {"a folder dropped", [](Harness& h) { h.Logic().open.OpenFolder(videos_->path()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartGuardProbe::Set(Controller(), 1);
        c.start(*h_);
        EXPECT_EQ(h_->front.MediaPath(), playing);
        EXPECT_TRUE(h_->front.IsPlaying()) << "not even stopped";
        EXPECT_EQ(h_->catalog.Files().size(), 3u);
    }
    EXPECT_FALSE(folderAsked);

    // Once the start is over the same step goes through.
    StartGuardProbe::Set(Controller(), 0);
    h_->Logic().starter.StartNeighbour(1);
    EXPECT_TRUE(h_->front.MediaPath().endsWith("0002F.MOV"));
    EXPECT_EQ(StartGuardProbe::Busy(Controller()), 1);
    EXPECT_TRUE(WaitUntil([&] { return StartGuardProbe::Busy(Controller()) == 0; }));
}

// A guard left over an emptied list blocks nothing; a start that sets no
// file going releases the guard at once.
TEST_F(PlayerPairTest, AStartThatStartsNothingLeavesNoGuard) {
    h_->catalog.Reset();
    StartGuardProbe::Set(Controller(), 1);
    bool folderAsked = false;
    h_->Logic().open.chooseFolder = [&](QString*) { return folderAsked = true, false; };
    h_->Logic().OnCommand(IDC_OPEN);
    EXPECT_TRUE(folderAsked);
    EXPECT_EQ(StartGuardProbe::Busy(Controller()), 1) << "a cancelled choice changes nothing";

    QTemporaryDir empty;
    h_->Logic().open.OpenFolder(empty.path());
    EXPECT_EQ(StartGuardProbe::Busy(Controller()), 0);
}

} // namespace
