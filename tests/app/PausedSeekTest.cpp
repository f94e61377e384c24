// A seek while paused, by a key at the real window: the frame clock and the
// instruments must follow the picture, not wait for play to resume.
#if HALVEX_HAVE_SYNTH
#include "MainWindowCard.h"
#include "PlaybackHarness.h"
#include "app/window/CVELDlg.h"
#include "app/window/ControlIds.h"
#include "app/window/PlaybackLogic.h"
#include "controls/CFrameClockStatic.h"
#include "controls/CSpeedLabelStatic.h"
#include "player/CVlcPlayer.h"
#include "tools/synth/CameraNaming.h"
#include "tools/synth/RecordingWriter.h"

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class PausedSeekTest : public ShownWindowTest {
  public:
    CVlcPlayer* Front() const { return dlg_->Playback()->Players().Front(); }
    QString FrameClock() const {
        return static_cast<CFrameClockStatic*>(dlg_->Control(IDC_FRAME_CLOCK))->Text();
    }
    // The clock's date and time, invalid when it shows none.
    QDateTime ClockTime() const {
        return QDateTime::fromString(FrameClock().left(19), "yyyy-MM-dd HH:mm:ss");
    }
    int Speed() const { return static_cast<CSpeedLabelStatic*>(dlg_->Control(IDC_SPEED))->Speed(); }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(dlg_->windowHandle(), key, modifiers);
    }
};

TEST_F(PausedSeekTest, KeySeekWhilePausedMovesClockAndSpeedWithThePicture) {
    // One recording of a minute whose speed rises by 1 km/h each second.
    QTemporaryDir card;
    synth::RecordingRecipe recipe;
    recipe.durationMs = 60000;
    recipe.frameSize = QSize(320, 180);
    for (int i = 0; i < 60; ++i)
        recipe.fixes.push_back({35.68 + i * 0.0002, 139.76, 40, 20 + i, double(i)});
    const synth::CameraPair names = synth::CameraNames(synth::Naming::Chunk, "DCIM", "FILE", 10);
    QString error;
    ASSERT_TRUE(synth::WriteRecording(recipe, card.filePath(names.front), &error))
        << error.toStdString();

    dlg_->OpenFolder(card.path());
    ASSERT_TRUE(WaitUntil([&] { return Front()->State() == libvlc_Playing; }));
    ASSERT_TRUE(WaitUntil([&] { return Front()->GetTime() > 1500 && ClockTime().isValid(); }));
    Key(Qt::Key_Space);
    ASSERT_TRUE(WaitUntil([&] { return Front()->State() == libvlc_Paused; }));
    Pump(700); // the last time reports of the playing file have arrived
    const QDateTime clockBefore = ClockTime();
    const int speedBefore = Speed();
    const int64_t timeBefore = Front()->GetTime();
    ASSERT_TRUE(clockBefore.isValid());

    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int seconds;
    } seeks[] = {{Qt::Key_Right, Qt::ShiftModifier, 30}, {Qt::Key_Left, Qt::NoModifier, -5}};
    int moved = 0;
    for (const auto& seek : seeks) {
        moved += seek.seconds;
        Key(seek.key, seek.modifiers);
        // Applied by the seek timer within half a second.
        EXPECT_TRUE(WaitUntil(
            [&] {
                return std::abs(clockBefore.secsTo(ClockTime()) - moved) <= 1 &&
                       std::abs(Speed() - speedBefore - moved) <= 1;
            },
            3000))
            << moved << " s: clock " << FrameClock().toStdString() << ", speed " << Speed()
            << " from " << speedBefore;
        EXPECT_EQ(Front()->State(), libvlc_Paused);
        EXPECT_NEAR(double(Front()->GetTime() - timeBefore), moved * 1000.0, 1000.0);
    }
}

} // namespace
#endif
