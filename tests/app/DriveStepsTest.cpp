// Steps past a recording's end go on in the next recording of the drive:
// the arithmetic on a table of drives, and Shift+Right typed into the real
// window playing two one-minute recordings that follow each other.
#if HALVEX_HAVE_SYNTH
#include "app/window/DriveSteps.h"
#include "MainWindowCard.h"
#include "PlaybackHarness.h"
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

ClipSource Source(const char* path, int64_t startMs, int64_t durationMs) {
    ClipSource s;
    s.front = path;
    s.startMs = startMs;
    s.durationMs = durationMs;
    return s;
}

TEST(DriveSteps, AStepPastAnEndGoesOnInTheRecordingThatFollows) {
    // a and b follow each other (b a second late, as a camera clock counts);
    // c comes after a gap.
    const std::vector<ClipSource> drive = {Source("a", 0, 60'000), Source("b", 61'000, 60'000),
                                           Source("c", 200'000, 60'000)};
    const struct {
        const char* what;
        int current;
        int64_t offsetMs;
        std::optional<DriveMoment> moment;
    } cases[] = {
        {"inside", 0, 30'000, std::nullopt},
        {"past a's end", 0, 80'000, DriveMoment{"b", 20'000}},
        {"past b's end too", 0, 125'000, std::nullopt},
        {"before b's start", 1, -10'000, DriveMoment{"a", 50'000}},
        {"before a's start", 0, -1, std::nullopt},
        {"past b's end, a gap", 1, 60'000, std::nullopt},
        {"before c, a gap", 2, -5'000, std::nullopt},
        {"no recording", 5, 80'000, std::nullopt},
    };
    for (const auto& c : cases) {
        const std::optional<DriveMoment> m = MomentInDrive(drive, c.current, 60'000, c.offsetMs);
        ASSERT_EQ(m.has_value(), c.moment.has_value()) << c.what;
        if (m) {
            EXPECT_EQ(m->path, c.moment->path) << c.what;
            EXPECT_EQ(m->offsetMs, c.moment->offsetMs) << c.what;
        }
    }
    EXPECT_EQ(SourceOfPath(drive, "b"), 1);
    EXPECT_EQ(SourceOfPath(drive, "d"), -1);
}

// Two recordings of a minute, the second starting as the first ends; the
// speed rises by 1 km/h each second of the drive (20 km/h at its start).
class DriveStepsWindow : public ShownWindowTest {
  public:
    static void SetUpTestSuite() {
        card_ = new QTemporaryDir;
        for (int file = 0; file < 2; ++file) {
            synth::RecordingRecipe recipe;
            recipe.durationMs = 60000;
            recipe.frameSize = QSize(320, 180);
            recipe.start = QDateTime(QDate(2021, 7, 4), QTime(18, 30 + file, 0));
            for (int i = 0; i < 60; ++i)
                recipe.fixes.push_back(
                    {35.68 + (60 * file + i) * 0.0002, 139.76, 40, 20 + 60 * file + i, 0.0});
            const synth::CameraPair names =
                synth::CameraNames(synth::Naming::Chunk, "DCIM", "FILE", 10 + 2 * file);
            QString error;
            ASSERT_TRUE(
                synth::WriteRecording(recipe, QDir(card_->path()).filePath(names.front), &error))
                << error.toStdString();
            fronts_ << QDir(card_->path()).filePath(names.front);
        }
    }
    static void TearDownTestSuite() {
        delete card_;
        card_ = nullptr;
    }
    CVlcPlayer* Front() const { return dlg_->Playback()->Players().Front(); }
    QString FrontMedia() const { return QDir::cleanPath(QString::fromUtf8(Front()->MediaPath())); }
    QString Clock() const {
        return static_cast<CFrameClockStatic*>(dlg_->Control(IDC_FRAME_CLOCK))->Text();
    }
    int Speed() const { return static_cast<CSpeedLabelStatic*>(dlg_->Control(IDC_SPEED))->Speed(); }

    static QTemporaryDir* card_;
    static QStringList fronts_;
};
QTemporaryDir* DriveStepsWindow::card_ = nullptr;
QStringList DriveStepsWindow::fronts_;

TEST_F(DriveStepsWindow, ShiftRightAt50sLands20sIntoTheNextRecording) {
    dlg_->OpenFolder(card_->path());
    ASSERT_TRUE(
        WaitUntil([&] { return Front()->State() == libvlc_Playing && Front()->GetTime() > 0; }));
    ASSERT_EQ(FrontMedia(), QDir::cleanPath(fronts_[0]));
    ASSERT_TRUE(dlg_->Playback()->controller.SeekTo(50000));
    ASSERT_TRUE(WaitUntil([&] { return Clock().startsWith("2021-07-04 18:30:5"); }))
        << Clock().toStdString();

    QTest::keyClick(dlg_->windowHandle(), Qt::Key_Right, Qt::ShiftModifier);
    ASSERT_TRUE(WaitUntil([&] { return FrontMedia() == QDir::cleanPath(fronts_[1]); }, 10000));
    // From the moment the next recording is started, the strip shows the
    // moment stepped to: neither the last one nor the recording's start.
    EXPECT_TRUE(Clock().startsWith("2021-07-04 18:31:20")) << Clock().toStdString();
    EXPECT_EQ(Speed(), 100);
    ASSERT_TRUE(WaitUntil([&] { return Front()->GetTime() >= 20000; }, 10000));
    EXPECT_LT(Front()->GetTime(), 24000);
    EXPECT_TRUE(WaitUntil([&] { return Clock().startsWith("2021-07-04 18:31:2"); }))
        << Clock().toStdString();
}

} // namespace
#endif
