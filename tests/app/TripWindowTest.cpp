// The additions around the route in the real window playing a real card: the
// KML button's export menu, the frame clock and its full-screen overlay, and
// seeking by a click on the map's route.
#if HALVEX_HAVE_SYNTH
#include "MainWindowCard.h"
#include "PlaybackHarness.h"
#include "app/playback/PlaybackTick.h"
#include "app/playback/SpeedTable.h"
#include "app/window/CVELDlg.h"
#include "app/window/ControlIds.h"
#include "app/window/PlaybackLogic.h"
#include "controls/CFrameClockStatic.h"
#include "controls/CVelGroupListCtrl.h"
#include "map/CHtmlMapDlg.h"
#include "platform/WindowMessages.h"
#include "platform/widgets/MessageBox.h"
#include "player/CVlcPlayer.h"
#include "recordings/KmlExport.h"
#include "settings/AppSettings.h"
#include "strings/UiStrings.h"
#include "tests/support/PageScript.h"
#include "tests/support/core/ScopedTimeZone.h"
#include "tests/support/core/ScratchDir.h"
#include "tests/support/core/ScratchSettings.h"
#include "tools/synth/BaseVideo.h"
#include "tools/synth/CameraNaming.h"
#include "tools/synth/RecordingWriter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>
#include <gtest/gtest.h>
#include <memory>
#include <sys/mount.h>

namespace {

constexpr int kFixes = 20;

bool HaveXdotool() {
    return !QStandardPaths::findExecutable("xdotool").isEmpty() &&
           QGuiApplication::platformName() == "xcb";
}

// A real click of the X server's pointer at a point of the screen.
void XClick(QPoint global, int button = 1) {
    QProcess::execute("xdotool", {"mousemove", QString::number(global.x()),
                                  QString::number(global.y()), "click", QString::number(button)});
}

// Two groups of a front/rear pair each, 20 s long, on a black picture so
// that whatever libvlc draws onto it shows.
class TripWindow : public ScratchSettingsTest {
  protected:
    static void SetUpTestSuite() {
        synth::SetCacheFolder(HALVEX_BINARY_DIR "/synth-cache");
        card = new ScratchDir;
        for (int group = 0; group < 2; ++group) {
            synth::RecordingRecipe recipe;
            recipe.durationMs = 20000;
            recipe.pattern = "color";
            recipe.frameSize = QSize(640, 360);
            recipe.start = QDateTime(QDate(2021, 7, 4), QTime(18, 30 + 10 * group, 5));
            for (int i = 0; i < kFixes; ++i)
                recipe.fixes.push_back(
                    {35.68 + i * 0.0004 + group, 139.76 + i * 0.0004, 30 + i, 40 + i, 44.0});
            for (int i = 0; i < 200; ++i)
                recipe.gsensor.push_back({int16_t(i % 50), 3, 64});
            const synth::CameraPair names =
                synth::CameraNames(synth::Naming::Chunk, "DCIM", "FILE", 10 + 2 * group);
            QString error;
            for (const QString& name : {names.front, names.rear})
                ASSERT_TRUE(synth::WriteRecording(recipe, card->Root() + name, &error))
                    << error.toStdString();
        }
    }
    static void TearDownTestSuite() {
        delete card;
        card = nullptr;
    }

    // Opens the card and waits until its first recording plays.
    void OpenAndPlay() {
        dlg->show();
        ASSERT_TRUE(WaitUntil([&] { return dlg->isVisible() && dlg->width() > 0; }));
        dlg->OpenFolder(card->path());
        ASSERT_TRUE(WaitUntil(
            [&] { return Playback().Front() && Playback().Front()->GetTime() > 0; }, 15000))
            << "the first recording plays";
    }
    PlayerPair& Playback() { return dlg->Playback()->Players(); }
    CFrameClockStatic* Clock() {
        return static_cast<CFrameClockStatic*>(dlg->Control(IDC_FRAME_CLOCK));
    }

    // Right-clicks the KML button as a user does and picks the menu entry
    // with this text, then types `folder` into the folder browser that opens
    // (the folder it offers goes to `seen`); returns the texts the menu offered.
    QStringList PickFromKmlMenu(const QString& entry, const QString& folder,
                                QString* seen = nullptr) {
        QStringList offered;
        // The browser fills its list in the background: the user looks a
        // moment before picking, and dismisses any complaint of the browser.
        auto answer = std::make_shared<QTimer>();
        auto looks = std::make_shared<int>(0);
        answer->setInterval(200);
        QObject::connect(answer.get(), &QTimer::timeout, [looks, folder, seen] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* complaint = qobject_cast<QMessageBox*>(modal)) {
                complaint->accept();
                return;
            }
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (!dialog || ++*looks < 3)
                return;
            if (*looks == 3 && seen)
                *seen = dialog->selectedFiles().value(0);
            // As a user picks the folder in the browser's list and chooses it.
            dialog->selectFile(folder);
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        });
        answer->start();
        QTimer::singleShot(300, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (QAction* a : menu->actions())
                if (!a->isSeparator())
                    offered << a->text();
            for (QAction* a : menu->actions())
                if (a->text() == entry)
                    XClick(menu->mapToGlobal(menu->actionGeometry(a).center()));
        });
        QWidget* kml = dlg->Control(IDC_KML);
        const size_t boxesBefore = boxes_.calls.size();
        XClick(kml->mapToGlobal(kml->rect().center()), 3);
        // Done once the export has told its result (not just asked).
        WaitUntil(
            [&] {
                return boxes_.calls.size() > boxesBefore &&
                       boxes_.calls.back().text != LoadUiString(UiStringId::kAskSensorCsv);
            },
            15000);
        answer->stop();
        Pump(300);
        return offered;
    }

    void SetUp() override {
        ScratchSettingsTest::SetUp();
        if (!HaveXdotool())
            GTEST_SKIP() << "needs xdotool and an X server";
        // Documents (and its KML folder) in the scratch folder.
        savedHome_ = qgetenv("HOME");
        qputenv("HOME", work_.path().toLocal8Bit());
        CreateFolderPath(KmlFolder());
        dlg = std::make_unique<CVELDlg>();
        dlg->resize(1400, 900);
    }
    void TearDown() override {
        if (dlg)
            dlg->Playback()->controller.OnStop();
        dlg.reset();
        if (!savedHome_.isEmpty())
            qputenv("HOME", savedHome_);
        ScratchSettingsTest::TearDown();
    }

    void ClickRouteAndCheck(int mapChoice);

    static ScratchDir* card;
    ScopedTimeZone tokyo_{"JST-9"};
    MessageBoxRecorder boxes_;
    std::unique_ptr<CVELDlg> dlg;
    QByteArray savedHome_;
};

ScratchDir* TripWindow::card = nullptr;

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST_F(TripWindow, KmlButtonMenuExportsTheRouteAndTheChosenGroups) {
    ASSERT_NO_FATAL_FAILURE(OpenAndPlay());
    ScratchDir out;
    QString offeredFirst;
    const QStringList entries =
        PickFromKmlMenu(LoadUiString(UiStringId::kExportRouteGpx), out.path(), &offeredFirst);
    EXPECT_EQ(entries, (QStringList{LoadUiString(UiStringId::kExportRouteGpx),
                                    LoadUiString(UiStringId::kExportRouteCsv),
                                    LoadUiString(UiStringId::kExportTripGpx),
                                    LoadUiString(UiStringId::kExportTripCsv),
                                    LoadUiString(UiStringId::kExportTripKml)}));
    EXPECT_EQ(QDir(offeredFirst).canonicalPath().toStdString(),
              QDir(KmlFolder()).canonicalPath().toStdString())
        << "the KML folder comes first";
    const QString gpx = out.Root() + "FILE0100_2021_07_04_18-30-05.GPX";
    ASSERT_EQ(boxes_.calls.size(), 1u);
    EXPECT_EQ(boxes_.calls[0].text.toStdString(),
              LoadUiString(UiStringId::kExportDone).replace("%s", gpx).toStdString());
    EXPECT_EQ(boxes_.calls[0].caption, LoadUiString(UiStringId::kExportCaption));
    EXPECT_EQ(ReadAll(gpx).count("<trkpt"), kFixes);

    // Both groups chosen: one CSV of the front files, the second with the
    // G-sensor samples; the folder chosen last is offered again.
    auto* groups = static_cast<CVelGroupListCtrl*>(dlg->Control(IDC_GROUP_LIST));
    groups->SetRowChecked(0, true);
    groups->SetRowChecked(1, true);
    boxes_.calls.clear();
    boxes_.answer = IDYES;
    QString offeredAgain;
    PickFromKmlMenu(LoadUiString(UiStringId::kExportTripCsv), out.path(), &offeredAgain);
    EXPECT_EQ(offeredAgain.toStdString(), out.path().toStdString());
    ASSERT_EQ(boxes_.calls.size(), 2u);
    EXPECT_EQ(boxes_.calls[0].text, LoadUiString(UiStringId::kAskSensorCsv))
        << "asked about the G-sensor samples";
    const QByteArray csv = ReadAll(out.Root() + "FILE0100_2021_07_04_18-30-05_TRIP.CSV");
    EXPECT_EQ(csv.count("\r\n"), 1 + 2 * kFixes);
    EXPECT_FALSE(csv.contains("_b.MOV")) << "rear files are not counted";
    EXPECT_EQ(ReadAll(out.Root() + "FILE0100_2021_07_04_18-30-05_TRIP_GSENSOR.CSV").count("\r\n"),
              1 + 2 * 200);

    // A trip as KML: each front file's KML as the KML button writes it.
    boxes_.calls.clear();
    PickFromKmlMenu(LoadUiString(UiStringId::kExportTripKml), out.path());
    ASSERT_EQ(boxes_.calls.size(), 1u);
    EXPECT_EQ(boxes_.calls[0].text.count(".KML"), 2) << boxes_.calls[0].text.toStdString();
    ScratchDir kmlOut;
    RecordingCatalog& catalog = dlg->Catalog();
    ASSERT_TRUE(catalog.ExportKml(kmlOut.path(), nullptr));
    const QString name = "FILE0100_2021_07_04_18-30-05.KML";
    EXPECT_EQ(ReadAll(out.Root() + name), ReadAll(kmlOut.Root() + name));
}

TEST_F(TripWindow, ExportOntoAFullDiskSaysItFailedAndLeavesNoPart) {
    ScratchDir out;
    if (mount("tmpfs", out.path().toLocal8Bit().constData(), "tmpfs", 0, "size=1500k") != 0)
        GTEST_SKIP() << "a tmpfs cannot be mounted here (needs root)";
    {
        QFile filler(out.Root() + "filler");
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (filler.write(QByteArray(4096, 'x')) == 4096) {
        }
        while (filler.write("x", 1) == 1) {
        }
    }
    ASSERT_NO_FATAL_FAILURE(OpenAndPlay());
    PickFromKmlMenu(LoadUiString(UiStringId::kExportRouteGpx), out.path());
    const QString gpx = out.Root() + "FILE0100_2021_07_04_18-30-05.GPX";
    ASSERT_EQ(boxes_.calls.size(), 1u);
    EXPECT_EQ(boxes_.calls[0].text.toStdString(),
              LoadUiString(UiStringId::kExportFailed)
                  .replace("%s", gpx + ": No space left on device")
                  .toStdString())
        << "the file and the system's reason";
    EXPECT_FALSE(QFile::exists(gpx));
    umount(out.path().toLocal8Bit().constData());
}

// In the smallest window the playback-rate read-out never covers the frame
// clock: at every rate from 0.5x to 2x the clock's whole text is drawn clear
// of the read-outs, at a size that can be read.
TEST_F(TripWindow, TheRateReadOutNeverCoversTheFrameClock) {
    ASSERT_NO_FATAL_FAILURE(OpenAndPlay());
    ASSERT_EQ(dlg->size(), QSize(800, 560));
    ASSERT_TRUE(WaitUntil([&] { return Clock()->Text().contains("  35.68"); }))
        << Clock()->Text().toStdString();
    QWidget* rate = dlg->Control(IDC_PB_SPEED);
    QWidget* speed = dlg->Control(IDC_SPEED);
    auto check = [&](const std::string& what) {
        const FrameClockFit fit = Clock()->Fit();
        const QRect drawn = Clock()->TextRect();
        ASSERT_FALSE(drawn.isEmpty()) << what;
        EXPECT_EQ(fit.lines.join("  "), Clock()->Text()) << what;
        const QFontMetrics m(fit.font);
        for (const QString& line : fit.lines)
            EXPECT_LE(m.horizontalAdvance(line), drawn.width()) << what;
        EXPECT_LE(m.height() * fit.lines.size(), drawn.height()) << what;
        EXPECT_GE(fit.font.pointSize(), 7) << what;
        EXPECT_TRUE(Clock()->geometry().contains(drawn)) << what;
        EXPECT_FALSE(drawn.intersects(speed->geometry())) << what;
        if (dlg->Playback()->controller.m_nSpeedIndex != kNormalSpeedIndex) {
            EXPECT_FALSE(drawn.intersects(rate->geometry())) << what;
        }
    };
    auto& controller = dlg->Playback()->controller;
    check("1.0x");
    while (controller.m_nSpeedIndex > 2) { // down to 0.5x
        QTest::keyClick(dlg->windowHandle(), Qt::Key_Minus);
        Pump(200);
        check(SpeedTable[size_t(controller.m_nSpeedIndex)].label);
    }
    while (controller.m_nSpeedIndex < 12) { // up to 2.0x
        QTest::keyClick(dlg->windowHandle(), Qt::Key_Plus);
        Pump(200);
        check(SpeedTable[size_t(controller.m_nSpeedIndex)].label);
    }
    EXPECT_EQ(controller.m_nSpeedIndex, 12);
}

TEST_F(TripWindow, FrameClockShowsTimeAndPlaceFollowsSeeksAndOverlaysFullScreen) {
    ASSERT_NO_FATAL_FAILURE(OpenAndPlay());
    // Each second brings the next fix: time and place of the frame on screen.
    ASSERT_TRUE(WaitUntil([&] { return Clock()->Text().startsWith("2021-07-04 18:30:0"); }))
        << Clock()->Text().toStdString();
    EXPECT_TRUE(Clock()->Text().contains("  35.68")) << Clock()->Text().toStdString();
    EXPECT_TRUE(Clock()->isVisible());

    ASSERT_TRUE(dlg->Playback()->controller.SeekTo(12500));
    EXPECT_TRUE(WaitUntil([&] { return Clock()->Text().startsWith("2021-07-04 18:30:17"); }))
        << Clock()->Text().toStdString();
    EXPECT_TRUE(Clock()->Text().endsWith("35.68480, 139.76480")) << Clock()->Text().toStdString();

    // Full screen: the text is drawn onto the front video's picture.
    CVlcPlayer* front = Playback().Front();
    QWidget* surface = dlg->Control(IDC_FRONT_VIDEO);
    QCursor::setPos(surface->mapToGlobal(surface->rect().center()));
    SendWindowMessage(dlg.get(), WM_VIDEO_DBLCLK);
    ASSERT_TRUE(dlg->IsFullScreen());
    EXPECT_FALSE(Clock()->isVisible());
    EXPECT_TRUE(WaitUntil([&] { return front->Marquee().startsWith("2021-07-04 18:30:"); }));
    // Bright pixels in a part of the picture's top strip (fractions of its
    // width): the text goes to the right, clear of the top-left corner where
    // cameras burn in their own time stamp.
    auto topBrightness = [&](double from, double to) {
        const QPoint origin = surface->mapToGlobal(QPoint(int(surface->width() * from), 0));
        const QImage strip =
            dlg->screen()
                ->grabWindow(0, origin.x(), origin.y(), int(surface->width() * (to - from)),
                             surface->height() / 5)
                .toImage();
        int bright = 0;
        for (int y = 0; y < strip.height(); ++y)
            for (int x = 0; x < strip.width(); ++x)
                bright += qGray(strip.pixel(x, y)) > 128;
        return bright;
    };
    auto cornerBrightness = [&] { return topBrightness(0.5, 1.0); };
    EXPECT_TRUE(WaitUntil([&] { return cornerBrightness() > 50; }))
        << "the text shows on the black picture";
    EXPECT_EQ(topBrightness(0.0, 0.25), 0) << "the camera's own stamp stays uncovered";

    // I, typed as a user does, takes it away and brings it back.
    dlg->activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return dlg->isActiveWindow(); }));
    QProcess::execute("xdotool", {"key", "i"});
    EXPECT_TRUE(WaitUntil([&] { return front->Marquee().isEmpty(); }));
    EXPECT_TRUE(WaitUntil([&] { return cornerBrightness() == 0; }));
    QProcess::execute("xdotool", {"key", "i"});
    EXPECT_TRUE(WaitUntil([&] { return !front->Marquee().isEmpty(); }));

    SendWindowMessage(dlg.get(), WM_VIDEO_DBLCLK);
    EXPECT_FALSE(dlg->IsFullScreen());
    EXPECT_EQ(front->Marquee(), "") << "the window shows the strip instead";

    static_cast<QAbstractButton*>(dlg->Control(IDC_STOP))->click();
    EXPECT_EQ(Clock()->Text(), "") << "blank when nothing plays";
}

// A real click of the X server's pointer on a drawn route point of either
// map page: the video seeks to that point's time.
void TripWindow::ClickRouteAndCheck(int mapChoice) {
    AppSettings::Instance().SetMapChoice(mapChoice);
    ASSERT_NO_FATAL_FAILURE(OpenAndPlay());
    const auto views = dlg->MapWindow()->findChildren<QWebEngineView*>();
    ASSERT_FALSE(views.isEmpty());
    QWebEngineView* view = views.last();
    auto evaluate = [&](const QString& script) {
        return pagescript::Evaluate(view->page(), script);
    };
    ASSERT_TRUE(WaitUntil(
        [&] { return evaluate("route ? route._drawnLength() : 0").toInt() == kFixes; }, 20000));
    // Pause, so that the time checked is the seek's and not the play's.
    static_cast<QAbstractButton*>(dlg->Control(IDC_PLAY))->click();
    const int target = 13;
    // Where route point k is drawn (the China page keeps its own datum); the
    // user first pans the map until it is in sight.
    const QString point =
        mapChoice == MAP_CHINA
            ? QStringLiteral("var b = route.getPath()[%1];"
                             "var w = gcoord.transform([b.lng, b.lat], gcoord.BD09, gcoord.WGS84);"
                             "var p = {lat: w[1], lng: w[0]};")
            : QStringLiteral("var g = route.getPath().getAt(%1); var p = {lat: g.lat(), lng: "
                             "g.lng()};");
    evaluate(QStringLiteral("(function () { %1 map._leaflet.setView([p.lat, p.lng]); })()")
                 .arg(point.arg(target)));
    Pump(300);
    const QVariantList at =
        evaluate(QStringLiteral("(function () { %1"
                                "var c = map._leaflet.latLngToContainerPoint([p.lat, p.lng]);"
                                "return [c.x, c.y]; })()")
                     .arg(point.arg(target)))
            .toList();
    ASSERT_EQ(at.size(), 2);
    const QPoint global =
        view->mapToGlobal(QPoint(qRound(at[0].toDouble()) + 2, qRound(at[1].toDouble()) + 1));
    // Well beside the line nothing happens; on it the video seeks.
    XClick(global + QPoint(25, 25));
    Pump(1500);
    EXPECT_LT(Playback().Front()->GetTime(), 1000);
    XClick(global);
    const int64_t expected = dlg->Catalog().CurrentTrack().TimeOfIndex(target);
    EXPECT_TRUE(WaitUntil(
        [&] {
            const int64_t t = Playback().Front()->GetTime();
            return t >= expected && t < expected + 1000;
        },
        10000))
        << Playback().Front()->GetTime();
    // The driven line is rebuilt up to the point, as after a slider seek, and,
    // the picture being paused there, reaches the car that now stands on it.
    EXPECT_TRUE(
        WaitUntil([&] { return evaluate("driven._drawnLength()").toInt() == target + 1; }, 10000))
        << evaluate("driven._drawnLength()").toInt();
}

TEST_F(TripWindow, ClickOnTheGooglePagesRouteSeeksToThatPoint) {
    ClickRouteAndCheck(MAP_GOOGLE);
}

TEST_F(TripWindow, ClickOnTheChinaPagesRouteSeeksToThatPoint) {
    ClickRouteAndCheck(MAP_CHINA);
}

// A forward seek by a key while playing: the driven line is rebuilt from the
// route's start up to the seek point, and then grows from there.
TEST_F(TripWindow, ForwardSeekKeepsTheDrivenLineFromTheStart) {
    AppSettings::Instance().SetMapChoice(MAP_GOOGLE);
    ASSERT_NO_FATAL_FAILURE(OpenAndPlay());
    ASSERT_TRUE(ShowActive(*dlg));
    const auto views = dlg->MapWindow()->findChildren<QWebEngineView*>();
    ASSERT_FALSE(views.isEmpty());
    QWebEngineView* view = views.last();
    auto evaluate = [&](const QString& script) {
        return pagescript::Evaluate(view->page(), script);
    };
    auto drivenLength = [&] { return evaluate("driven.getPath().getLength()").toInt(); };
    ASSERT_TRUE(WaitUntil(
        [&] { return evaluate("route ? route._drawnLength() : 0").toInt() == kFixes; }, 20000));
    ASSERT_TRUE(WaitUntil([&] { return drivenLength() >= 1; }, 10000));
    const int64_t before = Playback().Front()->GetTime();
    ASSERT_LT(before, 4000);

    QTest::keyClick(dlg->windowHandle(), Qt::Key_Right);
    ASSERT_TRUE(WaitUntil([&] { return Playback().Front()->GetTime() >= before + 4000; }, 5000));
    const int seekIndex = dlg->Catalog().CurrentTrack().IndexAt(Playback().Front()->GetTime());
    // Rebuilt up to the seek point, and it stays so after the ticks that follow.
    Pump(1500);
    const int rebuilt = drivenLength();
    EXPECT_GE(rebuilt, seekIndex) << "driven points after the seek to index " << seekIndex;
    const QString firstPoints =
        QStringLiteral("JSON.stringify([0, 1].map(function (i) { var p = %1.getPath().getAt(i);"
                       " return p ? [p.lat(), p.lng()] : null; }))");
    EXPECT_EQ(evaluate(firstPoints.arg("driven")).toString().toStdString(),
              evaluate(firstPoints.arg("route")).toString().toStdString())
        << "the driven line starts where the route starts";
    EXPECT_TRUE(WaitUntil([&] { return drivenLength() >= rebuilt + 2; }, 5000))
        << "and grows as the car drives on: " << drivenLength();
}

// Another map chosen in the settings while a recording plays: the new page
// shows the route, the driven line and the car at once, not only from the
// next recording on.
TEST_F(TripWindow, ASwitchedMapPageShowsTheRouteAtOnce) {
    AppSettings::Instance().SetMapChoice(MAP_GOOGLE);
    ASSERT_NO_FATAL_FAILURE(OpenAndPlay());
    auto lastView = [&]() -> QWebEngineView* {
        const auto views = dlg->MapWindow()->findChildren<QWebEngineView*>();
        return views.isEmpty() ? nullptr : views.last();
    };
    QWebEngineView* first = lastView();
    ASSERT_NE(first, nullptr);
    auto evaluate = [&](QWebEngineView* view, const QString& script) {
        QVariant result;
        bool done = false;
        QPointer<QWebEngineView> alive(view);
        view->page()->runJavaScript(script, [&](const QVariant& v) {
            result = v;
            done = true;
        });
        WaitUntil([&] { return done || !alive; }, 10000);
        return result;
    };
    const QString routeLength = "typeof route === 'object' && route ? route._drawnLength() : 0";
    ASSERT_TRUE(WaitUntil([&] { return evaluate(first, routeLength).toInt() == kFixes; }, 20000));
    Pump(1500); // the car has driven a little
    // What the settings dialog does when the user picks the China map.
    AppSettings::Instance().WriteInt("UI", "MAP", MAP_CHINA);
    PostWindowMessage(dlg.get(), WM_MAP_TYPE_CHANGED, quintptr(MAP_CHINA));
    ASSERT_TRUE(WaitUntil([&] { return lastView() && lastView() != first; }, 20000));
    QWebEngineView* second = lastView();
    ASSERT_TRUE(WaitUntil([&] { return second->url().fileName() == "BMap.html"; }, 20000));
    EXPECT_TRUE(WaitUntil([&] { return evaluate(second, routeLength).toInt() == kFixes; }, 10000))
        << evaluate(second, routeLength).toInt();
    EXPECT_TRUE(WaitUntil(
        [&] { return evaluate(second, "driven ? driven._drawnLength() : 0").toInt() >= 2; }, 10000))
        << "the driven line up to the play time";
    EXPECT_TRUE(WaitUntil([&] { return evaluate(second, "markerShown").toBool(); }, 5000))
        << "the car is on the map";
}

// SNAP: the JPEG carries the frame's time and place as EXIF tags, the PNG as
// text chunks; exiftool reads them back and they agree with the track.
TEST_F(TripWindow, SnapshotsKnowWhenAndWhereTheyWereTaken) {
    if (QStandardPaths::findExecutable("exiftool").isEmpty())
        GTEST_SKIP() << "exiftool is not installed";
    ASSERT_NO_FATAL_FAILURE(OpenAndPlay());
    ASSERT_TRUE(WaitUntil([&] { return Playback().Front()->GetTime() > 2500; }));
    ScratchDir out;
    for (const char* name : {"snap.jpg", "snap.png"}) {
        dlg->Playback()->snapshot.chooseFile = [&](QString* path) {
            *path = out.Root() + name;
            return true;
        };
        static_cast<QAbstractButton*>(dlg->Control(IDC_SNAP))->click();
    }
    QProcess exiftool;
    exiftool.start("exiftool", {"-j", "-n", out.Root() + "snap_F.jpg", out.Root() + "snap_R.jpg",
                                out.Root() + "snap_F.png"});
    ASSERT_TRUE(exiftool.waitForFinished(30000));
    const QJsonArray tags = QJsonDocument::fromJson(exiftool.readAllStandardOutput()).array();
    ASSERT_EQ(tags.size(), 3);
    for (int k = 0; k < 2; ++k) {
        const QJsonObject jpeg = tags[k].toObject();
        SCOPED_TRACE(jpeg["SourceFile"].toString().toStdString());
        const QString taken = jpeg["DateTimeOriginal"].toString();
        ASSERT_TRUE(taken.startsWith("2021:07:04 18:30:")) << taken.toStdString();
        // The fix of that second: one a second from 18:30:05.
        const int i = taken.right(2).toInt() - 5;
        ASSERT_GE(i, 2);
        EXPECT_NEAR(jpeg["GPSLatitude"].toDouble(), 35.68 + i * 0.0004, 1e-5);
        EXPECT_NEAR(jpeg["GPSLongitude"].toDouble(), 139.76 + i * 0.0004, 1e-5);
        EXPECT_EQ(jpeg["GPSAltitude"].toDouble(), 30 + i);
        EXPECT_EQ(jpeg["GPSSpeed"].toDouble(), 40 + i);
        EXPECT_EQ(jpeg["GPSSpeedRef"].toString(), "K");
        EXPECT_EQ(jpeg["GPSImgDirection"].toDouble(), 44);
        // The records' GPS time is the camera clock's reading: a camera set
        // to UTC, whatever this computer's zone (Tokyo here).
        EXPECT_EQ(jpeg["OffsetTimeOriginal"].toString(), "+00:00");
    }
    const QJsonObject png = tags[2].toObject();
    const QString pngTaken = png["DateTimeOriginal"].toString();
    ASSERT_TRUE(pngTaken.startsWith("2021:07:04 18:30:")) << pngTaken.toStdString();
    const int i = pngTaken.right(2).toInt() - 5;
    EXPECT_NEAR(png["GPSLatitude"].toDouble(), 35.68 + i * 0.0004, 1e-5) << "as text chunks";
    EXPECT_NEAR(png["GPSLongitude"].toDouble(), 139.76 + i * 0.0004, 1e-5);
}

} // namespace
#endif
