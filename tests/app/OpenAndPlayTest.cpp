// The road of a recording: a folder on the command line is scanned, its first
// recording starts half a second later and the instruments follow the video.
#if HALVEX_HAVE_SYNTH
#include "PlaybackHarness.h"
#include "settings/AppSettings.h"
#include "tools/synth/CameraNaming.h"
#include "tools/synth/RecordingWriter.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct RecordingGSensor : GSensorCurveView {
    GSensorCurveState state;
    std::atomic<int> lastPosition{-1};
    GSensorCurveState& CurveState() override { return state; }
    void RecalcScale() override {}
    bool SetPosition(int ms) override {
        lastPosition = ms;
        return true;
    }
    void Redraw() override {}
};

TEST(OpenAndPlay, FolderFromCommandLineScansStartsAndDrivesTheInstruments) {
    QTemporaryDir card;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(card.path());
    AppSettings::DiscardInstance();
    for (int sequence : {10, 12}) {
        synth::RecordingRecipe recipe;
        recipe.durationMs = 3000;
        for (int i = 0; i < 3; ++i)
            recipe.fixes.push_back({35.68 + i * 0.001, 139.76, 40, 50 + 10 * i, 90.0});
        for (int i = 0; i < 30; ++i)
            recipe.gsensor.push_back({int16_t(i), 2, 60});
        const synth::CameraPair names =
            synth::CameraNames(synth::Naming::Chunk, "DCIM", "FILE", sequence);
        QString error;
        ASSERT_TRUE(synth::WriteRecording(recipe, card.filePath(names.front), &error))
            << error.toStdString();
        ASSERT_TRUE(synth::WriteRecording(recipe, card.filePath(names.rear), &error));
    }
    {
        Harness h;
        RecordingGSensor curve;
        CatalogViewSet views;
        views.curve = &curve;
        h.presenter.SetViews(views);
        h.Logic().Initialise();
        h.Logic().open.OpenFolder(card.path());
        ASSERT_EQ(h.catalog.Files().size(), 4u);
        EXPECT_EQ(AppSettings::Instance().ReadString("UI", "Folder", ""), card.path());
        EXPECT_EQ(StartGuardProbe::Busy(h.Logic().controller), 1);
        ASSERT_TRUE(WaitUntil([&] { return h.front.State() == libvlc_Playing; }));
        EXPECT_TRUE(QString::fromUtf8(h.front.MediaPath()).contains("front"));
        EXPECT_TRUE(QString::fromUtf8(h.rear.MediaPath()).contains("back"));
        // Time reports reach the tick: speed, GPS indicator, curve cursor, slider.
        EXPECT_TRUE(WaitUntil([&] { return h.view.speedValid && h.view.speed >= 50; }));
        EXPECT_TRUE(WaitUntil([&] { return h.view.gps == 1; }));
        EXPECT_TRUE(WaitUntil([&] { return curve.lastPosition > 0; }));
        EXPECT_TRUE(WaitUntil([&] { return h.view.position.value() > 0; }));
        EXPECT_EQ(StartGuardProbe::Busy(h.Logic().controller), 0);
        h.Logic().controller.OnStop();
    }
    QDir::setCurrent(previous);
    AppSettings::DiscardInstance();
}

} // namespace
#endif
