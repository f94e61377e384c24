// halvex-cli gpx|csv|kml on a synthesized card of all three kinds, the
// files read back by GDAL's ogrinfo, GPSBabel and Python's csv module.
#include "tools/synth/BaseVideo.h"
#include "tools/synth/RecordingWriter.h"

#include "tests/support/core/ProgramRun.h"
#include "tests/support/core/ScratchDir.h"
#include "tests/support/core/SynthFixture.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <sys/mount.h>

namespace {

using ToolRun = ProgramRun;

// Local time is Tokyo's for every program run here, so 18:30:05 on the
// camera's clock is 09:30:05 UTC.
ToolRun RunInTokyo(const QString& program, const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TZ", "JST-9");
    return RunProgram(program, args, env);
}

ToolRun Cli(const QStringList& args) {
    return RunInTokyo(QStringLiteral(HALVEX_BINARY_DIR "/tools/halvex-cli"), args);
}

// The points of a GPX's track_points layer as ogrinfo lists them:
// "lat,lon,time,speed m/s,course" each.
QStringList OgrTrackPoints(const QString& gpx) {
    const ToolRun run = RunInTokyo(
        "ogrinfo", {"--config", "GPX_USE_EXTENSIONS", "YES", "-ro", "-q", gpx, "track_points"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    QStringList points;
    QString time, speed, course;
    static const QRegularExpression timeLine(R"(^\s*time \(DateTime\) = (\S+ \S+))");
    static const QRegularExpression extensionLine(
        R"(<gpxtpx:speed>(\S+)</gpxtpx:speed>\s*<gpxtpx:course>(\S+)</gpxtpx:course>)");
    static const QRegularExpression pointLine(R"(^\s*POINT (?:Z )?\((\S+) (\S+).*\))");
    for (const QString& line : QString::fromUtf8(run.out).split('\n')) {
        if (const auto m = timeLine.match(line); m.hasMatch())
            time = m.captured(1);
        if (const auto m = extensionLine.match(line); m.hasMatch())
            speed = m.captured(1), course = m.captured(2);
        if (const auto m = pointLine.match(line); m.hasMatch())
            points << QStringList{m.captured(2), m.captured(1), time, speed, course}.join(',');
    }
    return points;
}

// Python's csv module: the rows of a file as a JSON array of arrays.
QJsonArray PythonCsvRows(const QString& path) {
    const ToolRun run =
        RunInTokyo("python3", {"-c",
                               "import csv, json, sys\n"
                               "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                               "    print(json.dumps(list(csv.reader(f, strict=True))))\n",
                               path});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    return QJsonDocument::fromJson(run.out).array();
}

class TripReaders : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        synth::SetCacheFolder(HALVEX_BINARY_DIR "/synth-cache");
        card = new ScratchDir;
        synth::RecordingRecipe chunk;
        chunk.container = synth::Container::MovBoxes;
        chunk.durationMs = 3000;
        chunk.fixes = {{35.65, 139.76, 12, 36, 90},
                       {35.651, 139.761, 13, 72, 92},
                       {40.0, -74.0, 8, 0, 0, 0, false}};
        for (int i = 0; i < 30; ++i)
            chunk.gsensor.push_back({int16_t(i), int16_t(-i), 16});
        Write(chunk, "DCIM/Movie/front/FILE0010.MOV");
        synth::RecordingRecipe rear = chunk;
        rear.fixes = {{10.0, 10.0, 1, 1, 1}};
        Write(rear, "DCIM/Movie/back/FILE0011_b.MOV");

        synth::RecordingRecipe avi = chunk;
        avi.container = synth::Container::Avi;
        Write(avi, "AVI/FILE0100.AVI");

        synth::RecordingRecipe track;
        track.container = synth::Container::MovTrack;
        track.durationMs = 2000;
        track.start = QDateTime(QDate(2021, 7, 4), QTime(18, 40, 0));
        for (int i = 0; i < 10; ++i)
            track.fixes.push_back({35.66 + i * 0.0001, 139.77 + i * 0.0001, 0, 30, 180});
        track.fixes[3].flags = 0;
        track.gsensor.assign(10, GSensorSample{16, 32, -16});
        Write(track, "DCIM/MovieF/MOV_0001F.MOV");
        synth::RecordingRecipe trackRear = track;
        trackRear.fixes.assign(10, synth::Fix{1.0, 1.0, 0, 1, 1});
        Write(trackRear, "DCIM/MovieR/MOV_0001R.MOV");
    }
    static void TearDownTestSuite() {
        delete card;
        card = nullptr;
    }
    static void Write(const synth::RecordingRecipe& recipe, const QString& relative) {
        synthtest::WriteBelow(card->Root(), recipe, relative);
    }
    void SetUp() override {
        for (const char* tool : {"ogrinfo", "gpsbabel", "python3"})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                GTEST_SKIP() << tool << " is not installed (scripts/setup installs it)";
    }

    static ScratchDir* card;
    ScratchDir out;
};

ScratchDir* TripReaders::card = nullptr;

TEST_F(TripReaders, GpxOfEachKindReadsBackInOgrinfoAndGpsbabel) {
    struct Case {
        const char* file;
        const char* written;
        QStringList points;
    } cases[] = {
        {"DCIM/Movie/front/FILE0010.MOV",
         "FILE0010_2021_07_04_18-30-05.GPX",
         {"35.65,139.76,2021/07/04 18:30:05+00,10.000,90.0",
          "35.651,139.761,2021/07/04 18:30:06+00,20.000,92.0"}},
        {"AVI/FILE0100.AVI",
         "FILE0100_2021_07_04_18-30-05.GPX",
         {"35.65,139.76,2021/07/04 18:30:05+00,10.000,90.0",
          "35.651,139.761,2021/07/04 18:30:06+00,20.000,92.0"}},
        {"DCIM/MovieF/MOV_0001F.MOV", "MOV_0001F_2021_07_05_03-40-00.GPX", {}},
    };
    // Chunk records keep the GPS receiver's UTC as it stands; metadata records
    // are moved back from their position's zone (Tokyo, +9).
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const ToolRun run = Cli({"gpx", card->Root() + c.file, "--out", out.path()});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QString gpx = out.Root() + c.written;
        EXPECT_EQ(run.out, (gpx + "\n").toUtf8());

        const QStringList points = OgrTrackPoints(gpx);
        if (!c.points.isEmpty()) {
            EXPECT_EQ(points, c.points);
        } else {
            // Five records a second, the one without a fix left out; the
            // metadata track keeps 7 decimals and km/h in whole numbers.
            ASSERT_EQ(points.size(), 9);
            EXPECT_EQ(points[0], "35.6600016,139.7700033,2021/07/04 09:40:00+00,8.333,180.0");
            // Records of one second lie 1/5 s apart.
            EXPECT_TRUE(points[2].contains("09:40:00.400+00")) << points[2].toStdString();
            EXPECT_TRUE(points[8].contains("09:40:01.800+00")) << points[8].toStdString();
        }

        const ToolRun babel =
            RunInTokyo("gpsbabel", {"-t", "-i", "gpx", "-f", gpx, "-o", "unicsv", "-F", "-"});
        EXPECT_EQ(babel.exitCode, 0);
        EXPECT_EQ(babel.err, "") << "GPSBabel warns about nothing";
        const QStringList rows = QString::fromUtf8(babel.out).trimmed().split('\n');
        EXPECT_EQ(rows.size(), points.size() + 1) << babel.out.toStdString();
    }
}

TEST_F(TripReaders, TripOfAGroupIsOneTrackWithTheFrontFilesOnly) {
    const ToolRun scan = Cli({"scan", card->path()});
    ASSERT_TRUE(scan.out.contains("G1-0")) << scan.out.toStdString();

    const ToolRun run = Cli({"gpx", "--trip", "0", card->path(), "--out", out.path()});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString gpx = out.Root() + "FILE0010_2021_07_04_18-30-05_TRIP.GPX";
    EXPECT_EQ(run.out, (gpx + "\n").toUtf8());
    EXPECT_EQ(OgrTrackPoints(gpx).size(), 2) << "the rear file's track is not counted";
    const ToolRun tracks = RunInTokyo("ogrinfo", {"-ro", "-q", gpx, "tracks"});
    EXPECT_TRUE(tracks.out.contains("MULTILINESTRING ((139.76 35.65,139.761 35.651))"))
        << tracks.out.toStdString();

    const ToolRun stdoutRun = Cli({"gpx", "--trip", "1", card->path(), "--out", "-"});
    ASSERT_EQ(stdoutRun.exitCode, 0);
    EXPECT_TRUE(stdoutRun.out.startsWith("<?xml"));
    EXPECT_EQ(stdoutRun.out.count("<trkpt"), 9);
    EXPECT_FALSE(stdoutRun.out.contains("lat=\"1.0000000\"")) << "not the rear track";

    EXPECT_EQ(Cli({"gpx", "--trip", "7", card->path()}).exitCode, 1);
    EXPECT_EQ(Cli({"gpx", "--trip", card->path()}).exitCode, 2);
}

TEST_F(TripReaders, CsvOfPointsAndSamplesParsesInPython) {
    // A name that needs quoting: a comma and a double quote.
    const QString odd = out.Root() + "we\"ird,0.MOV";
    ASSERT_TRUE(QFile::copy(card->Root() + "DCIM/Movie/front/FILE0010.MOV", odd));
    const ToolRun run = Cli(
        {"csv", odd, card->Root() + "DCIM/MovieF/MOV_0001F.MOV", "--gsensor", "--out", out.path()});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString base = out.Root() + "we\"ird,0_2021_07_04_18-30-05_TRIP";
    EXPECT_EQ(run.out, (base + ".CSV\n" + base + "_GSENSOR.CSV\n").toUtf8());

    const QJsonArray points = PythonCsvRows(base + ".CSV");
    ASSERT_EQ(points.size(), 1 + 2 + 9);
    EXPECT_EQ(points[0].toArray(), (QJsonArray{"file", "time_utc", "latitude", "longitude",
                                               "altitude_m", "speed_kmh", "heading_deg"}));
    EXPECT_EQ(points[2].toArray(), (QJsonArray{"we\"ird,0.MOV", "2021-07-04T18:30:06Z",
                                               "35.6510000", "139.7610000", "13", "72", "92"}));
    const QJsonArray meta = points[3].toArray();
    EXPECT_EQ(meta[0], "MOV_0001F.MOV");
    EXPECT_EQ(meta[1], "2021-07-04T09:40:00Z");
    EXPECT_EQ(meta[4], "") << "no altitude in a metadata track";

    const QJsonArray samples = PythonCsvRows(base + "_GSENSOR.CSV");
    ASSERT_EQ(samples.size(), 1 + 30 + 10);
    EXPECT_EQ(samples[0].toArray(), (QJsonArray{"file", "time_ms", "x_g", "y_g", "z_g"}));
    // 10 samples a second, scale 8: raw 2 is 2 * 8 / 128 g.
    EXPECT_EQ(samples[3].toArray(),
              (QJsonArray{"we\"ird,0.MOV", "200", "0.125000", "-0.125000", "1.000000"}));
    EXPECT_EQ(samples[32].toArray(),
              (QJsonArray{"MOV_0001F.MOV", "200", "1.000000", "2.000000", "-1.000000"}));

    const ToolRun toStdout = Cli({"csv", odd, "--out", "-"});
    EXPECT_TRUE(toStdout.out.startsWith("file,time_utc,")) << toStdout.out.toStdString();
    EXPECT_EQ(toStdout.out.count("\r\n"), 3);
}

TEST_F(TripReaders, KmlReadsBackInOgrinfo) {
    const ToolRun run =
        Cli({"kml", card->Root() + "DCIM/Movie/front/FILE0010.MOV", "--out", out.path()});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const ToolRun ogr =
        RunInTokyo("ogrinfo", {"-ro", "-q", "-al", QString::fromUtf8(run.out.trimmed())});
    EXPECT_EQ(ogr.exitCode, 0) << ogr.err.toStdString();
    // The third record has no fix and lies off the globe: it is left out.
    EXPECT_TRUE(ogr.out.contains("LINESTRING Z (139.76 35.65 12,139.761 35.651 13)"))
        << ogr.out.toStdString();
}

// A full disk: each writer says so and leaves no file (an empty one would
// pass for an export of a recording without GPS data).
TEST_F(TripReaders, FullDiskFailsWithoutLeavingAFile) {
    ScratchDir full;
    const QByteArray where = full.path().toLocal8Bit();
    if (mount("tmpfs", where.constData(), "tmpfs", 0, "size=1500k") != 0)
        GTEST_SKIP() << "a tmpfs cannot be mounted here (needs root)";
    {
        QFile filler(full.Root() + "filler");
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (filler.write(QByteArray(4096, 'x')) == 4096) {
        }
        while (filler.write("x", 1) == 1) {
        }
    }
    const QString file = card->Root() + "DCIM/Movie/front/FILE0010.MOV";
    for (const char* command : {"gpx", "csv", "kml"}) {
        const ToolRun run = Cli({command, file, "--out", full.path()});
        EXPECT_EQ(run.exitCode, 1) << command;
        EXPECT_TRUE(run.err.contains("cannot write")) << run.err.toStdString();
    }
    EXPECT_EQ(QDir(full.path()).entryList(QDir::Files), QStringList{"filler"});
    umount(where.constData());
}

} // namespace
