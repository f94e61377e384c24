// The bundle says what the clip holds and when it was: streams measured back
// with ffprobe against the manifest, the camera's time with the zone measured
// against GPS time whatever this computer's zone.
#include "clip/ClipExport.h"
#include "clip/ClipFigures.h"
#include "clip/ClipSources.h"
#include "recordings/RecordingCatalog.h"
#include "strings/UiStrings.h"
#include "tests/support/core/ProgramRun.h"
#include "tests/support/core/ScopedTimeZone.h"
#include "tests/support/core/ScratchDir.h"
#include "tests/support/core/SynthFixture.h"
#include "tools/synth/CameraNaming.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <cstring>
#include <gtest/gtest.h>

namespace {

using CliRun = ProgramRun;

CliRun RunIn(const QString& program, const QStringList& args, const QByteArray& tz = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!tz.isEmpty())
        env.insert("TZ", QString::fromLatin1(tz));
    return RunProgram(program, args, env);
}

CliRun Clip(const QStringList& args, const QByteArray& tz = {}) {
    return RunIn(HALVEX_BINARY_DIR "/tools/halvex-cli", QStringList{"clip"} + args, tz);
}

// Seconds of each kind of stream, as ffprobe measures them (0: none).
struct Lengths {
    double video = 0, sound = 0;
};

Lengths Measure(const QString& path) {
    const CliRun run = RunIn("ffprobe", {"-v", "error", "-show_entries",
                                         "stream=codec_type,duration", "-of", "json", path});
    Lengths l;
    for (const QJsonValue v : QJsonDocument::fromJson(run.out)["streams"].toArray()) {
        const double seconds = v["duration"].toString().toDouble();
        (v["codec_type"].toString() == "video" ? l.video : l.sound) = seconds;
    }
    return l;
}

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QJsonObject Manifest(const QString& base) {
    return QJsonDocument::fromJson(Bytes(base + ".json")).object();
}

constexpr int kRate = 10;

// A camera set to Japan time: its clock 16:00:00, its GPS records 07:00:00 UTC.
synth::RecordingRecipe TokyoCamera(bool gps) {
    synth::RecordingRecipe r;
    r.container = synth::Container::MovBoxes;
    r.durationMs = 6000;
    r.frameSize = QSize(320, 180);
    r.frameRate = kRate;
    r.start = QDateTime(QDate(2024, 5, 20), QTime(16, 0, 0));
    r.gpsTimeShiftSeconds = -9 * 3600;
    if (gps) {
        for (int i = 0; i < 6; ++i)
            r.fixes.push_back(synth::Fix{35.68, 139.76 + 0.001 * i, 10, 30 + i, 90});
    }
    return r;
}

class ClipEvidence : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { synth::SetCacheFolder(HALVEX_BINARY_DIR "/synth-cache"); }
    ScratchDir card, out;
};

// The texts the time and speed figures are drawn from, in two zones of this
// computer: the camera's reading with the measured zone, and the records
// placed by it (a speed at every second, none left out by a 9 h misplacement).
TEST_F(ClipEvidence, TheFiguresTellTheCamerasTimeWithTheMeasuredZone) {
    synthtest::WriteBelow(card.Root(), TokyoCamera(true), "gps/DCIM/Movie/front/FILE0001.MOV");
    synthtest::WriteBelow(card.Root(), TokyoCamera(false), "none/DCIM/Movie/front/FILE0001.MOV");
    for (const char* tz : {"UTC0", "EST5EDT,M3.2.0,M11.1.0"}) {
        SCOPED_TRACE(tz);
        ScopedTimeZone zone(tz);
        for (const bool gps : {true, false}) {
            RecordingCatalog catalog;
            catalog.Open(card.Root() + (gps ? "gps" : "none"));
            const std::vector<ClipSource> sources = ClipSourcesOfCatalog(catalog);
            ASSERT_EQ(sources.size(), 1u);
            std::vector<ClipPiece> pieces;
            QString error;
            const int64_t start = sources[0].startMs;
            ASSERT_TRUE(SpanPieces(sources, start + 2000, start + 5000, &pieces, &error))
                << error.toStdString();
            TripRecording track;
            LoadTripRecording(pieces[0].source.file, &track);
            ClipOptions options;
            options.overlays = kOverlayTime | kOverlaySpeed;
            const ClipClock clock = MeasureClipClock(pieces);
            EXPECT_EQ(clock.clock.rule, gps ? ClockRule::Gps : ClockRule::None);
            const ClipFigures figures = BuildClipFigures(pieces, {track}, options, {}, clock);
            const QString zoneText =
                gps ? QStringLiteral(" UTC+09:00")
                    : " (" + LoadUiString(UiStringId::kCameraClockZoneUnknown) + ")";
            QStringList times, speeds;
            for (const ClipFigureChange& c : figures.changes) {
                times << c.lines[0];
                speeds << c.lines[1];
            }
            const QStringList expected = {"2024-05-20 16:00:02" + zoneText,
                                          "2024-05-20 16:00:03" + zoneText,
                                          "2024-05-20 16:00:04" + zoneText};
            EXPECT_EQ(times, expected);
            const QStringList speedsShown =
                gps ? QStringList{"32 km/h", "33 km/h", "34 km/h"} : QStringList{"", "", ""};
            EXPECT_EQ(speeds, speedsShown);
        }
    }
}

// The real command line under two zones of this computer: the same burned-in
// zone, the same instants in the manifest and the GPX.
TEST_F(ClipEvidence, TheManifestsTimesAreTheSameInEveryZone) {
    const QString recording = card.Root() + "DCIM/Movie/front/FILE0001.MOV";
    synthtest::WriteBelow(card.Root(), TokyoCamera(true), "DCIM/Movie/front/FILE0001.MOV");
    QList<QJsonObject> manifests;
    QList<QByteArray> routes;
    for (const QByteArray& tz : {QByteArray("UTC"), QByteArray("America/New_York")}) {
        SCOPED_TRACE(tz.constData());
        const QString base = out.Root() + "tz" + QString::number(manifests.size());
        const CliRun run = Clip(
            {recording, "--from", "2", "--to", "4", "--overlay", "time,speed", "--out", base}, tz);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QJsonObject m = Manifest(base);
        EXPECT_EQ(m["clock"]["offsetRule"].toString(), "gps");
        EXPECT_EQ(m["clock"]["utcOffset"].toString(), "+09:00");
        EXPECT_EQ(m["clock"]["cameraClockOffsetFromGpsMs"].toDouble(), 9 * 3600 * 1000.0);
        EXPECT_EQ(m["marks"]["fromLocal"].toString(), "2024-05-20T16:00:02+09:00");
        EXPECT_EQ(m["marks"]["fromUtc"].toString(), "2024-05-20T07:00:02.000Z");
        EXPECT_EQ(m["marks"]["toUtc"].toString(), "2024-05-20T07:00:04.000Z");
        EXPECT_EQ(m["span"]["fromUtc"].toString(), "2024-05-20T07:00:02.000Z");
        manifests << m;
        routes << Bytes(base + ".gpx").replace(QFileInfo(base).fileName().toUtf8(), "NAME");
        EXPECT_TRUE(routes.back().contains("<time>2024-05-20T07:00:02")) << routes.back().data();
    }
    for (const char* key : {"clock", "marks", "span"})
        EXPECT_EQ(manifests[0][key], manifests[1][key]) << key;
    EXPECT_EQ(manifests[0]["sources"], manifests[1]["sources"]);
    EXPECT_EQ(routes[0], routes[1]);
}

// Without GPS time the camera clock is labelled so: no zone, no instant.
TEST_F(ClipEvidence, WithoutGpsTimeTheClockIsTheCamerasAndNoInstantIsClaimed) {
    const QString recording = card.Root() + "DCIM/Movie/front/FILE0001.MOV";
    synthtest::WriteBelow(card.Root(), TokyoCamera(false), "DCIM/Movie/front/FILE0001.MOV");
    const QString base = out.Root() + "nogps";
    const CliRun run =
        Clip({recording, "--from", "1", "--to", "2", "--out", base}, "America/New_York");
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QJsonObject m = Manifest(base);
    EXPECT_EQ(m["clock"]["offsetRule"].toString(), "none");
    EXPECT_EQ(m["marks"]["fromLocal"].toString(), "2024-05-20T16:00:01");
    EXPECT_FALSE(m["marks"].toObject().contains("fromUtc"));
}

// A power cut leaves the rear file shorter than its header says: the clip
// and its bundle say how much picture there is, and nothing more.
TEST_F(ClipEvidence, ATruncatedRecordingIsRecordedAsTheSpanItHolds) {
    synth::RecordingRecipe recipe = TokyoCamera(true);
    recipe.container = synth::Container::Avi;
    const synth::CameraPair names =
        synth::CameraNames(synth::Naming::Chunk, "DCIM/Movie", "FILE", 10, "AVI");
    for (const QString& name : {names.front, names.rear})
        synthtest::WriteBelow(card.Root(), recipe, name);
    const QString front = card.Root() + names.front, rear = card.Root() + names.rear;
    QFile cut(rear);
    ASSERT_TRUE(cut.resize(cut.size() / 3));

    for (const char* layout : {"rear", "side-by-side"}) {
        SCOPED_TRACE(layout);
        const QString base = out.Root() + layout;
        const CliRun run = Clip({front, "--from", "0", "--to", "6", "--layout", layout, "--overlay",
                                 "time", "--out", base});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("warning: " + rear.toUtf8())) << run.err.toStdString();
        const QJsonObject m = Manifest(base);
        const Lengths held = Measure(base + ".mp4");
        ASSERT_GT(held.video, 0);
        // No time the manifest states runs past the picture the file holds.
        EXPECT_NEAR(m["span"]["durationMs"].toDouble() / 1000, held.video, 1.5 / kRate);
        EXPECT_NEAR(m["clip"]["pictureMs"].toDouble() / 1000, held.video, 1.5 / kRate);
        EXPECT_TRUE(m["clip"]["sound"].toBool());
        EXPECT_NEAR(held.sound, held.video, 1.5 / kRate);
        EXPECT_NEAR(m["clip"]["soundMs"].toDouble() / 1000, held.sound, 1.5 / kRate);
        const QJsonArray notes = m["notes"].toArray();
        ASSERT_FALSE(notes.isEmpty());
        EXPECT_TRUE(notes[0].toString().startsWith(rear)) << notes[0].toString().toStdString();
        if (QByteArray(layout) == "rear")
            EXPECT_LT(held.video, 4.0) << "the rear picture is the clip";
        else
            EXPECT_NEAR(held.video, 6.0, 1.5 / kRate) << "the front picture runs on";
    }
}

// The sound of a recording whose header gives a rate AAC cannot take is
// left out with the reason; the picture is still written.
TEST_F(ClipEvidence, SoundThatCannotBeEncodedIsLeftOutWithTheReason) {
    synth::RecordingRecipe recipe = TokyoCamera(true);
    recipe.container = synth::Container::Avi;
    const QString front = card.Root() + "DCIM/Movie/front/FILE0010.AVI";
    synthtest::WriteBelow(card.Root(), recipe, "DCIM/Movie/front/FILE0010.AVI");
    // WAVEFORMATEX after the sound stream's "strf": tag, channels, then the rate.
    QByteArray bytes = Bytes(front);
    const int strf = int(bytes.indexOf("strf", bytes.indexOf("auds")));
    ASSERT_GT(strf, 0);
    const quint32 wild = 3;
    std::memcpy(bytes.data() + strf + 8 + 4, &wild, 4);
    QFile file(front);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    const QString base = out.Root() + "wild";
    const CliRun run =
        Clip({front, "--from", "1", "--to", "3", "--overlay", "time", "--out", base});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("no sound")) << run.err.toStdString();
    const QJsonObject m = Manifest(base);
    EXPECT_FALSE(m["clip"]["sound"].toBool());
    EXPECT_TRUE(m["clip"]["soundLeftOut"].toString().startsWith(front))
        << m["clip"]["soundLeftOut"].toString().toStdString();
    const Lengths held = Measure(base + ".mp4");
    EXPECT_NEAR(held.video, 2.0, 1.5 / kRate);
    EXPECT_EQ(held.sound, 0);
}

// A recording appended to while the clip is made is not what was hashed:
// the export fails naming it and leaves no bundle.
TEST_F(ClipEvidence, ASourceThatChangesDuringTheExportFailsIt) {
    synthtest::WriteBelow(card.Root(), TokyoCamera(true), "DCIM/Movie/front/FILE0001.MOV");
    RecordingCatalog catalog;
    catalog.Open(card.path());
    ClipRequest request;
    request.sources = ClipSourcesOfCatalog(catalog);
    ASSERT_EQ(request.sources.size(), 1u);
    const QString source = request.sources[0].front;
    request.fromMs = request.sources[0].startMs + 1000;
    request.toMs = request.sources[0].startMs + 4000;
    request.options.overlays = kOverlayTime;
    request.outputPath = out.Root() + "appended.mp4";
    bool appended = false;
    ClipOutcome outcome;
    const bool written = ExportClip(
        request,
        [&](double done) {
            if (done > 0.5 && !appended) {
                QFile f(source);
                appended = f.open(QIODevice::Append) && f.write(QByteArray(4096, 'x')) == 4096;
            }
            return true;
        },
        &outcome);
    ASSERT_TRUE(appended);
    EXPECT_FALSE(written);
    EXPECT_TRUE(outcome.error.startsWith(source)) << outcome.error.toStdString();
    EXPECT_TRUE(outcome.error.contains("changed")) << outcome.error.toStdString();
    EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

} // namespace
