// The export dialog run by its buttons on real recordings: Cancel during an
// export stops it and leaves nothing; a privacy zone that does not read stops
// the export before it starts; files already under the clip's names are
// replaced only after the user said so to a question naming them; the done
// message says where the clip holds less than the marks.
#include "clipui/ClipExportDlg.h"
#include "clip/ClipSources.h"
#include "platform/widgets/MessageBox.h"
#include "recordings/RecordingCatalog.h"
#include "strings/UiStrings.h"
#include "tests/support/core/ScratchDir.h"
#include "tests/support/core/ScratchSettings.h"
#include "tests/support/core/SynthFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

template <class Done> bool WaitFor(Done done, int ms = 30000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

QPushButton* Button(QWidget& dialog, unsigned id) {
    for (auto* b : dialog.findChildren<QPushButton*>()) {
        if (b->text() == LoadUiString(id))
            return b;
    }
    return nullptr;
}

class ClipExportDlgTest : public ScratchSettingsTest {
  protected:
    static void SetUpTestSuite() {
        synth::SetCacheFolder(HALVEX_BINARY_DIR "/synth-cache");
        card = new ScratchDir;
        synth::RecordingRecipe recipe;
        recipe.durationMs = 10000;
        recipe.frameSize = QSize(640, 360);
        recipe.frameRate = 30;
        for (int i = 0; i < 10; ++i)
            recipe.fixes.push_back(synth::Fix{35.60, 139.70 + 0.001 * i, 10, 30, 90});
        synthtest::WriteBelow(card->Root(), recipe, "DCIM/MovieF/MOV_0001F.MOV");
        synthtest::WriteBelow(card->Root(), recipe, "DCIM/MovieR/MOV_0001R.MOV");
    }
    static void TearDownTestSuite() {
        delete card;
        card = nullptr;
    }
    void SetUp() override {
        ScratchSettingsTest::SetUp();
        catalog.Open(card->path());
        sources = ClipSourcesOfCatalog(catalog);
        ASSERT_EQ(sources.size(), 1u);
    }

    static ScratchDir* card;
    RecordingCatalog catalog;
    std::vector<ClipSource> sources;
    ScratchDir out;
};

ScratchDir* ClipExportDlgTest::card = nullptr;

TEST_F(ClipExportDlgTest, CancelDuringTheExportLeavesNothing) {
    MessageBoxRecorder boxes;
    const int64_t start = sources[0].startMs;
    ClipExportDlg dialog(nullptr, sources, start, start + 10000, out.Root() + "stopped.mp4");
    dialog.show();
    // Every figure on the two cameras side by side: long enough to cancel.
    for (auto* box : dialog.findChildren<QCheckBox*>())
        box->setChecked(true);
    QTest::mouseClick(Button(dialog, UiStringId::kClipExportButton), Qt::LeftButton);
    ASSERT_TRUE(dialog.Running());
    auto* progress = dialog.findChild<QProgressBar*>();
    ASSERT_TRUE(WaitFor([&] { return progress->value() > 0; }));
    QTest::mouseClick(Button(dialog, UiStringId::kCancelButton), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return !dialog.Running(); }));
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, LoadUiString(UiStringId::kClipCancelled));
    EXPECT_TRUE(dialog.isVisible()); // the user may export again
    EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(ClipExportDlgTest, APrivacyZoneThatDoesNotReadStopsTheExport) {
    MessageBoxRecorder boxes;
    const int64_t start = sources[0].startMs;
    ClipExportDlg dialog(nullptr, sources, start, start + 1000, out.Root() + "zoned.mp4");
    dialog.show();
    auto* zones = dialog.findChild<QPlainTextEdit*>("privacyZones");
    zones->setFocus();
    QTest::keyClicks(zones, "35.6,139.7");
    QTest::mouseClick(Button(dialog, UiStringId::kClipExportButton), Qt::LeftButton);
    EXPECT_FALSE(dialog.Running());
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_TRUE(boxes.calls[0].text.contains("35.6,139.7"));
    EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(ClipExportDlgTest, EarlierFilesAreReplacedOnlyWhenTheUserSaysSo) {
    MessageBoxRecorder boxes;
    const int64_t start = sources[0].startMs;
    out.Write("again.gpx", "earlier route");
    out.Write("again.json", "earlier manifest");
    ClipExportDlg dialog(nullptr, sources, start, start + 1000, out.Root() + "again.mp4");
    dialog.show();
    QPushButton* exportButton = Button(dialog, UiStringId::kClipExportButton);

    boxes.answers = {IDCANCEL};
    QTest::mouseClick(exportButton, Qt::LeftButton);
    EXPECT_FALSE(dialog.Running());
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text,
              LoadUiString(UiStringId::kClipReplaceQuestion)
                  .replace("%s", out.Root() + "again.gpx\n" + out.Root() + "again.json"));
    EXPECT_EQ(boxes.calls[0].buttons, MbButtons::OkCancel);
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"again.gpx", "again.json"}));
    QFile route(out.Root() + "again.gpx");
    ASSERT_TRUE(route.open(QIODevice::ReadOnly));
    EXPECT_EQ(route.readAll(), "earlier route");
    route.close();

    boxes.answers = {IDOK, IDOK};
    QTest::mouseClick(exportButton, Qt::LeftButton);
    ASSERT_TRUE(dialog.Running());
    ASSERT_TRUE(WaitFor([&] { return !dialog.Running(); }));
    ASSERT_EQ(boxes.calls.size(), 3u);
    EXPECT_EQ(boxes.calls[2].text,
              LoadUiString(UiStringId::kClipDone).replace("%s", dialog.Written().join('\n')));
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"again.csv", "again.gpx", "again.json", "again.mp4", "again.sha256"}));
    ASSERT_TRUE(route.open(QIODevice::ReadOnly));
    EXPECT_TRUE(route.readAll().startsWith("<?xml"));
}

// A rear file cut short by a power cut: the clip is written, and the done
// message names the file and what the clip holds.
TEST_F(ClipExportDlgTest, TheDoneMessageSaysWhatAClipCutShortHolds) {
    synth::RecordingRecipe recipe;
    recipe.container = synth::Container::Avi;
    recipe.durationMs = 6000;
    recipe.frameSize = QSize(320, 180);
    recipe.frameRate = 10;
    synthtest::WriteBelow(out.Root(), recipe, "cut/FILE0011_b.AVI");
    const QString rear = out.Root() + "cut/FILE0011_b.AVI";
    QFile cut(rear);
    ASSERT_TRUE(cut.resize(cut.size() / 3));
    std::vector<ClipSource> cutSources = sources;
    cutSources[0].rear = rear;

    MessageBoxRecorder boxes;
    const int64_t start = sources[0].startMs;
    ClipExportDlg dialog(nullptr, cutSources, start, start + 6000, out.Root() + "short.mp4");
    dialog.show();
    auto* layout = dialog.findChildren<QComboBox*>().front();
    layout->setFocus();
    QTest::keyClick(layout, Qt::Key_Down); // front, then rear
    ASSERT_EQ(layout->currentIndex(), int(ClipLayout::Rear));
    QTest::mouseClick(Button(dialog, UiStringId::kClipExportButton), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return !dialog.Running(); }, 120000));
    ASSERT_EQ(boxes.calls.size(), 1u);
    const QString text = boxes.calls[0].text;
    EXPECT_TRUE(text.startsWith(LoadUiString(UiStringId::kClipDone).section("%s", 0, 0)))
        << text.toStdString();
    EXPECT_TRUE(text.contains(out.Root() + "short.mp4"));
    EXPECT_TRUE(text.contains(rear + ": its picture ends at")) << text.toStdString();
    EXPECT_EQ(boxes.calls[0].icon, MbIcon::Warning);
}

TEST_F(ClipExportDlgTest, TheDoneMessageSaysHowManyPositionsWereLeftOut) {
    // A zone the size of the earth takes every position of the span.
    QFile ini(Ini());
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[PRIVACY]\nCOUNT=1\nZONE1=0,0,20100000\n");
    ini.close();
    MessageBoxRecorder boxes;
    const int64_t start = sources[0].startMs;
    ClipExportDlg dialog(nullptr, sources, start, start + 3000, out.Root() + "hidden.mp4");
    dialog.show();
    QTest::mouseClick(Button(dialog, UiStringId::kClipExportButton), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return !dialog.Running(); }));
    ASSERT_EQ(boxes.calls.size(), 1u);
    QFile manifest(out.Root() + "hidden.json");
    ASSERT_TRUE(manifest.open(QIODevice::ReadOnly)) << boxes.calls[0].text.toStdString();
    const int leftOut =
        QJsonDocument::fromJson(manifest.readAll())["choices"]["positionsLeftOut"].toInt();
    EXPECT_GT(leftOut, 0);
    EXPECT_TRUE(boxes.calls[0].text.endsWith(
        LoadUiString(UiStringId::kClipPositionsLeftOut).replace("%s", QString::number(leftOut))))
        << boxes.calls[0].text.toStdString();
    EXPECT_EQ(QFileInfo(out.Root() + "hidden.gpx").exists(), true);
}

TEST_F(ClipExportDlgTest, ZonesThatDoNotReadAreNamedWhenTheDialogOpens) {
    QFile ini(Ini());
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[PRIVACY]\nZONE1=35.6,139.7,100\nZONE2=35.6,139.7,25m\n");
    ini.close();
    MessageBoxRecorder boxes;
    const int64_t start = sources[0].startMs;
    ClipExportDlg dialog(nullptr, sources, start, start + 1000, out.Root() + "z.mp4");
    dialog.show();
    ASSERT_TRUE(WaitFor([&] { return !boxes.calls.empty(); }, 5000));
    EXPECT_TRUE(
        boxes.calls[0].text.contains("ZONE1=35.6,139.7,100: [PRIVACY] has zone lines but no COUNT"))
        << boxes.calls[0].text.toStdString();
    // Both lines stand in the list as written, the faulty one to be mended.
    EXPECT_EQ(dialog.findChild<QPlainTextEdit*>("privacyZones")->toPlainText(),
              "35.6,139.7,100\n35.6,139.7,25m");
    QTest::mouseClick(Button(dialog, UiStringId::kClipExportButton), Qt::LeftButton);
    EXPECT_FALSE(dialog.Running());
    ASSERT_EQ(boxes.calls.size(), 2u);
    EXPECT_TRUE(boxes.calls[1].text.contains("35.6,139.7,25m: the radius is not a number"))
        << boxes.calls[1].text.toStdString();
    EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

} // namespace
