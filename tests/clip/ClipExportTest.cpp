// halvex-cli clip run as a user would, on synthesized recordings, its
// results read back with ffprobe, ffmpeg and sha256sum.
#include "clip/ClipGeometry.h"
#include "clip/ClipOverlayImage.h"
#include "tests/support/core/FatCard.h"
#include "tests/support/core/ScratchDir.h"
#include "tests/support/core/SynthFixture.h"
#include "tests/support/core/TinyDisk.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <csignal>
#include <gtest/gtest.h>
#include <map>

namespace {

struct CliResult {
    int exitCode = -1;
    QByteArray out, err;
};

CliResult RunIn(const QString& program, const QStringList& args,
                const QString& folder = QString()) {
    QProcess p;
    if (!folder.isEmpty())
        p.setWorkingDirectory(folder);
    p.start(program, args);
    CliResult run;
    if (!p.waitForStarted(10000) || !p.waitForFinished(120000))
        return run;
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = p.readAllStandardOutput();
    run.err = p.readAllStandardError();
    return run;
}

CliResult Clip(const QStringList& args, const QString& folder = QString()) {
    return RunIn(HALVEX_BINARY_DIR "/tools/halvex-cli", QStringList{"clip"} + args, folder);
}

struct Stream {
    QString type, codec;
    int width = 0, height = 0, frames = 0;
    double duration = 0, start = 0;
};

std::vector<Stream> Probe(const QString& path) {
    const CliResult run =
        RunIn("ffprobe", {"-v", "error", "-count_frames", "-show_entries",
                          "stream=codec_type,codec_name,width,height,nb_read_frames,"
                          "duration,start_time",
                          "-of", "json", path});
    std::vector<Stream> streams;
    for (const QJsonValue v : QJsonDocument::fromJson(run.out)["streams"].toArray()) {
        const QJsonObject o = v.toObject();
        streams.push_back(
            {o["codec_type"].toString(), o["codec_name"].toString(), o["width"].toInt(),
             o["height"].toInt(), o["nb_read_frames"].toString().toInt(),
             o["duration"].toString().toDouble(), o["start_time"].toString().toDouble()});
    }
    return streams;
}

const Stream* Find(const std::vector<Stream>& streams, const char* type) {
    for (const Stream& s : streams) {
        if (s.type == type)
            return &s;
    }
    return nullptr;
}

// Frame n of a video as 8-bit luma.
// `scale`, when given, is an ffmpeg scale filter's "w:h" the frame is scaled to.
QByteArray LumaFrame(const QString& path, int n, const QString& scale = QString()) {
    QString filter = QStringLiteral("select=eq(n\\,%1)").arg(n);
    if (!scale.isEmpty())
        filter += ",scale=" + scale + ":flags=bicubic";
    return RunIn("ffmpeg", {"-v", "error", "-i", path, "-vf", filter, "-frames:v", "1", "-f",
                            "rawvideo", "-pix_fmt", "gray", "-"})
        .out;
}

// The MD5 of each sound packet of a file.
QSet<QByteArray> SoundPackets(const QString& path) {
    const CliResult run =
        RunIn("ffprobe", {"-v", "error", "-select_streams", "a", "-show_data_hash", "MD5",
                          "-show_entries", "packet=data_hash", "-of", "csv=p=0", path});
    QSet<QByteArray> hashes;
    // A packet with side data (the edit list's skip) puts its hash on a line
    // of its own after a comma.
    for (const QByteArray& line : run.out.split('\n')) {
        if (const int at = line.indexOf("MD5:"); at >= 0)
            hashes.insert(line.mid(at).trimmed());
    }
    return hashes;
}

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every entry of a folder, hidden ones too, with its bytes ("<folder>" for
// a folder): what "left as it was, byte for byte" is checked against.
std::map<QString, QByteArray> Contents(const QString& folder) {
    std::map<QString, QByteArray> contents;
    for (const QFileInfo& entry : QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                             QDir::System | QDir::NoDotAndDotDot))
        contents[entry.fileName()] =
            entry.isDir() ? QByteArray("<folder>") : FileBytes(entry.filePath());
    return contents;
}

// The names, comma-separated.
std::string NamesOf(const std::map<QString, QByteArray>& contents) {
    QStringList names;
    for (const auto& entry : contents)
        names << entry.first;
    return names.join(',').toStdString();
}

std::string Bundle(const QString& base) {
    QStringList names;
    for (const char* suffix : {".csv", ".gpx", ".json", ".mp4", ".sha256"})
        names << base + suffix;
    return names.join(',').toStdString();
}

constexpr int kRate = 10; // frames a second of the test recordings

// Two consecutive 3 s recordings, front 320x180 with sound, rear 160x90,
// on a slow drive east; group 0 of the card.
class ClipExport : public ::testing::Test {
  protected:
    // The front camera's recording `file` (0, 1, ...) of the drive.
    static synth::RecordingRecipe FrontRecipe(int file) {
        synth::RecordingRecipe front;
        front.container = synth::Container::MovBoxes;
        front.durationMs = 3000;
        front.frameSize = QSize(320, 180);
        front.frameRate = kRate;
        front.start = QDateTime(QDate(2021, 7, 4), QTime(18, 30, 5 + 3 * file));
        return front;
    }
    static void SetUpTestSuite() {
        synth::SetCacheFolder(HALVEX_BINARY_DIR "/synth-cache");
        card = new ScratchDir;
        for (int file = 0; file < 2; ++file) {
            synth::RecordingRecipe front = FrontRecipe(file);
            front.gpsRate = 1;
            for (int i = 0; i < 3; ++i)
                front.fixes.push_back(
                    synth::Fix{35.60, 139.70 + 0.001 * (3 * file + i), 10, 30, 90});
            synth::RecordingRecipe rear = front;
            rear.frameSize = QSize(160, 90);
            rear.audio = false;
            rear.pattern = "smptebars";
            synthtest::WriteBelow(card->Root(), front,
                                  QStringLiteral("DCIM/MovieF/MOV_000%1F.MOV").arg(file + 1));
            synthtest::WriteBelow(card->Root(), rear,
                                  QStringLiteral("DCIM/MovieR/MOV_000%1R.MOV").arg(file + 1));
        }
    }
    static void TearDownTestSuite() {
        delete card;
        card = nullptr;
    }
    static QString Front(int file) {
        return card->Root() + QStringLiteral("DCIM/MovieF/MOV_000%1F.MOV").arg(file);
    }
    QStringList Group() const { return {"--group", "0", card->path()}; }

    static ScratchDir* card;
    ScratchDir out;
};

ScratchDir* ClipExport::card = nullptr;

TEST_F(ClipExport, EachLayoutHasItsFrameSizeCodecsAndTheMarkedLength) {
    const struct {
        const char* layout;
        int width, height;
    } cases[] = {
        // With figures the pictures are scaled up to 720 lines.
        {"front", 1280, 720},           {"rear", 1280, 720},
        {"side-by-side", 2560, 720},    {"picture-in-picture", 1280, 720},
        {"front-above-rear", 640, 720},
    };
    for (const auto& c : cases) {
        const QString name = out.Root() + c.layout;
        const CliResult run =
            Clip(Group() + QStringList{"--from", "0.5", "--to", "2", "--layout", c.layout,
                                       "--overlay", "time", "--out", name});
        ASSERT_EQ(run.exitCode, 0) << c.layout << run.err.toStdString();
        const std::vector<Stream> streams = Probe(name + ".mp4");
        const Stream* video = Find(streams, "video");
        ASSERT_TRUE(video) << c.layout;
        EXPECT_EQ(video->codec, "h264") << c.layout;
        EXPECT_EQ(video->width, c.width) << c.layout;
        EXPECT_EQ(video->height, c.height) << c.layout;
        EXPECT_EQ(video->frames, 15) << c.layout;
        EXPECT_NEAR(video->duration, 1.5, 1.0 / kRate) << c.layout;
        const Stream* audio = Find(streams, "audio");
        ASSERT_TRUE(audio) << c.layout;
        EXPECT_EQ(audio->codec, "aac");
    }
}

TEST_F(ClipExport, SoundIsLeftOutWhenAsked) {
    for (const QStringList& figures : {QStringList{"--overlay", "speed"}, QStringList{}}) {
        const QString name = out.Root() + "silent" + QString::number(figures.size());
        const CliResult run =
            Clip(Group() + QStringList{"--from", "1", "--to", "2", "--no-sound", "--out", name} +
                 figures);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const std::vector<Stream> streams = Probe(name + ".mp4");
        EXPECT_TRUE(Find(streams, "video"));
        EXPECT_FALSE(Find(streams, "audio")) << figures.join(' ').toStdString();
    }
}

// The marks as the camera's local time, the way the clip's time figure shows it.
TEST_F(ClipExport, MarksMayBeTheCamerasLocalTime) {
    const QString name = out.Root() + "clock";
    const CliResult run =
        Clip(Group() + QStringList{"--from", "2021-07-04 18:30:06", "--to", "2021-07-04 18:30:09.5",
                                   "--overlay", "time", "--out", name});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const std::vector<Stream> streams = Probe(name + ".mp4");
    ASSERT_TRUE(Find(streams, "video"));
    EXPECT_EQ(Find(streams, "video")->frames, 35);
    EXPECT_EQ(
        Clip(Group() + QStringList{"--from", "18:30:06", "--to", "3", "--out", name}).exitCode, 2);
}

// 2.0 s to 4.5 s crosses the seam at 3 s: every slot once, none twice.
TEST_F(ClipExport, AClipAcrossTwoRecordingsHasEveryFrameOnce) {
    const QString name = out.Root() + "seam";
    const CliResult run = Clip(
        Group() + QStringList{"--from", "2", "--to", "4.5", "--layout", "side-by-side", "--overlay",
                              "time,speed,position,heading,g,map", "--out", name});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const std::vector<Stream> streams = Probe(name + ".mp4");
    ASSERT_TRUE(Find(streams, "video"));
    EXPECT_EQ(Find(streams, "video")->frames, 25);
    ASSERT_TRUE(Find(streams, "audio"));
    EXPECT_NEAR(Find(streams, "audio")->duration, 2.5, 0.1);
    // The pictures on both sides of the seam are the files' last and first.
    const QByteArray last = LumaFrame(name + ".mp4", 9), first = LumaFrame(name + ".mp4", 10);
    ASSERT_EQ(last.size(), 2560 * 720);
    EXPECT_NE(last, first);
}

// One camera without figures: the packets are copied; the cut widens to
// the key frames (one a second in these files).
TEST_F(ClipExport, TheFastPathCopiesFromKeyFrameToKeyFrame) {
    const QString name = out.Root() + "fast";
    const CliResult run =
        Clip(Group() + QStringList{"--from", "2.3", "--to", "4.5", "--out", name});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("key frames")) << run.err.toStdString();
    const std::vector<Stream> streams = Probe(name + ".mp4");
    ASSERT_TRUE(Find(streams, "video"));
    EXPECT_EQ(Find(streams, "video")->frames, 30); // 2.0 s to 5.0 s
    EXPECT_NEAR(Find(streams, "video")->duration, 3.0, 1.0 / kRate);
    const QJsonObject manifest = QJsonDocument::fromJson(FileBytes(name + ".json")).object();
    EXPECT_TRUE(manifest["choices"]["copiedWithoutDecoding"].toBool());
    EXPECT_EQ(manifest["span"]["durationMs"].toInt(), 3000);
    EXPECT_EQ(manifest["marks"]["durationMs"].toInt(), 2200);
}

// The fast path copies the camera's AAC packets too, cut on the picture's
// span: sound from the start to the end of the picture, within a frame.
TEST_F(ClipExport, TheFastPathCopiesTheSoundInStepWithThePicture) {
    const QSet<QByteArray> source = SoundPackets(Front(1)) + SoundPackets(Front(2));
    ASSERT_FALSE(source.isEmpty());
    const struct {
        const char* name;
        QStringList args;
        double seconds; // key frame to key frame
    } cases[] = {
        {"within", {Front(1), "--from", "1.2", "--to", "2.5"}, 2.0},
        {"seam", Group() + QStringList{"--from", "2.3", "--to", "4.5"}, 3.0},
    };
    for (const auto& c : cases) {
        const QString name = out.Root() + c.name;
        const CliResult run = Clip(c.args + QStringList{"--out", name});
        ASSERT_EQ(run.exitCode, 0) << c.name << run.err.toStdString();
        const std::vector<Stream> streams = Probe(name + ".mp4");
        const Stream* video = Find(streams, "video");
        const Stream* audio = Find(streams, "audio");
        ASSERT_TRUE(video && audio) << c.name;
        EXPECT_NEAR(video->duration, c.seconds, 1.0 / kRate) << c.name;
        EXPECT_EQ(audio->codec, "aac") << c.name;
        EXPECT_NEAR(audio->start, video->start, 1.0 / kRate) << c.name;
        EXPECT_NEAR(audio->start + audio->duration, video->start + video->duration, 1.0 / kRate)
            << c.name;
        const QSet<QByteArray> copied = SoundPackets(name + ".mp4");
        EXPECT_GT(copied.size(), 10) << c.name;
        EXPECT_TRUE(source.contains(copied)) << c.name << ": sound packets not the camera's";
    }
}

// A recording without sound in the span: the sound is encoded, with silence
// for that recording, and still lasts as long as the picture.
TEST_F(ClipExport, TheFastPathEncodesTheSoundWhenARecordingHasNone) {
    ScratchDir mixed;
    for (int file = 0; file < 2; ++file) {
        synth::RecordingRecipe front = ClipExport::FrontRecipe(file);
        front.audio = file == 0;
        synthtest::WriteBelow(mixed.Root(), front,
                              QStringLiteral("DCIM/MovieF/MOV_000%1F.MOV").arg(file + 1));
    }
    const QString name = out.Root() + "mixed";
    const CliResult run =
        Clip({"--group", "0", mixed.path(), "--from", "2.3", "--to", "4.5", "--out", name});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const std::vector<Stream> streams = Probe(name + ".mp4");
    ASSERT_TRUE(Find(streams, "video") && Find(streams, "audio"));
    EXPECT_EQ(Find(streams, "audio")->codec, "aac");
    EXPECT_NEAR(Find(streams, "audio")->duration, Find(streams, "video")->duration, 1.0 / kRate);
}

// The figures change the picture in their box and nowhere else.
TEST_F(ClipExport, TheTimeFigureChangesOnlyItsCorner) {
    const QString name = out.Root() + "time";
    const CliResult run =
        Clip({Front(1), "--from", "1", "--to", "2", "--overlay", "time", "--out", name});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    // The clip's picture is the source's scaled up to 720 lines.
    constexpr int kWidth = 1280, kHeight = 720;
    const QByteArray clip = LumaFrame(name + ".mp4", 5);
    const QByteArray source = LumaFrame(Front(1), 15, "1280:720");
    ASSERT_EQ(clip.size(), kWidth * kHeight);
    ASSERT_EQ(source.size(), clip.size());
    ClipOptions options;
    options.overlays = kOverlayTime;
    ClipGeometry g;
    QString error;
    ASSERT_TRUE(ComputeClipGeometry(options, QSize(320, 180), QSize(),
                                    OverlayBoxSize(QSize(kWidth, kHeight), 1, false), &g, &error));
    ASSERT_EQ(g.frame, QSize(kWidth, kHeight));
    double inside = 0, outside = 0;
    int insideCount = 0, outsideCount = 0;
    const QRect near = g.figures.adjusted(-8, -8, 8, 8); // the encoder's blocks blur edges
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const int d = std::abs(uint8_t(clip[y * kWidth + x]) - uint8_t(source[y * kWidth + x]));
            if (g.figures.contains(x, y)) {
                inside += d;
                ++insideCount;
            } else if (!near.contains(x, y)) {
                outside += d;
                ++outsideCount;
            }
        }
    }
    EXPECT_GT(inside / insideCount, 20.0);
    EXPECT_LT(outside / outsideCount, 3.0);
}

// Every figure on a 320x180 recording: the clip is 720 lines high and each
// line of its box is text at least 14 pixels (a fortieth of the picture) high.
TEST_F(ClipExport, EveryFigureOnASmallPictureCanBeRead) {
    const QString name = out.Root() + "figures";
    const CliResult run = Clip({Front(1), "--from", "1", "--to", "2", "--overlay",
                                "time,speed,position,heading,g,map", "--out", name});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    constexpr int kWidth = 1280, kHeight = 720;
    const QByteArray clip = LumaFrame(name + ".mp4", 5);
    ASSERT_EQ(clip.size(), kWidth * kHeight);
    // The box's text column, bottom left: the picture under the box is
    // darkened, so only its text is this bright there.
    const int margin = ClipEdgeMargin(QSize(kWidth, kHeight));
    const int boxHeight = OverlayBoxSize(QSize(kWidth, kHeight), 5, true).height();
    std::vector<int> runs;
    int lit = 0;
    for (int y = kHeight - margin - boxHeight; y < kHeight - margin; ++y) {
        bool any = false;
        for (int x = margin; x < margin + 400; ++x)
            any = any || uint8_t(clip[y * kWidth + x]) > 200;
        if (any) {
            ++lit;
        } else if (lit) {
            runs.push_back(lit);
            lit = 0;
        }
    }
    if (lit)
        runs.push_back(lit);
    // Time, speed, position and heading; the G line is blank: these
    // recordings hold no G-sensor samples.
    ASSERT_EQ(runs.size(), 4u);
    for (const int height : runs) {
        EXPECT_GE(height, 14);
        EXPECT_GE(height, kHeight / 40);
    }
}

TEST_F(ClipExport, TheBundleChecksWithSha256sumAndNamesItsSources) {
    const QString name = out.Root() + "bundle";
    const CliResult run =
        Clip(Group() + QStringList{"--from", "1", "--to", "4", "--layout", "picture-in-picture",
                                   "--overlay", "time,map", "--out", name});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    for (const char* suffix : {".mp4", ".gpx", ".csv", ".json", ".sha256"})
        EXPECT_TRUE(QFileInfo::exists(name + suffix)) << suffix;
    CliResult check = RunIn("sha256sum", {"-c", "bundle.sha256"}, out.path());
    EXPECT_EQ(check.exitCode, 0) << check.out.toStdString() << check.err.toStdString();
    EXPECT_EQ(check.out.count("OK"), 4);

    const QJsonObject manifest = QJsonDocument::fromJson(FileBytes(name + ".json")).object();
    const QJsonArray sources = manifest["sources"].toArray();
    ASSERT_EQ(sources.size(), 4); // front and rear of both recordings
    for (const QJsonValue v : sources) {
        const QString path = v["path"].toString();
        const CliResult sum = RunIn("sha256sum", {path});
        EXPECT_EQ(v["sha256"].toString().toLatin1(), sum.out.left(64)) << path.toStdString();
        EXPECT_EQ(v["size"].toDouble(), double(QFileInfo(path).size()));
    }
    EXPECT_EQ(manifest["marks"]["fromUtc"].toString().size(), 24);

    // One byte of the clip changed: the check fails on the clip.
    QFile clip(name + ".mp4");
    ASSERT_TRUE(clip.open(QIODevice::ReadWrite));
    clip.seek(clip.size() / 2);
    char byte = 0;
    clip.getChar(&byte);
    clip.seek(clip.size() / 2);
    clip.putChar(char(byte ^ 0x01));
    clip.close();
    check = RunIn("sha256sum", {"-c", "bundle.sha256"}, out.path());
    EXPECT_NE(check.exitCode, 0);
    EXPECT_TRUE(check.out.contains("bundle.mp4: FAILED")) << check.out.toStdString();
}

TEST_F(ClipExport, PositionsInAPrivacyZoneStayOutOfTheBundleAndAreCounted) {
    // 150 m around the first point takes the first two of the six.
    out.Write("Halvex.ini", "[PRIVACY]\r\nCOUNT=1\r\nZONE1=35.60,139.70,150\r\n");
    const CliResult run = Clip(Group() + QStringList{"--from", "0", "--to", "6", "--overlay",
                                                     "position", "--out", "zoned"},
                               out.path());
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QByteArray csv = FileBytes(out.Root() + "zoned.csv");
    EXPECT_EQ(csv.count("\r\n"), 1 + 4) << csv.toStdString();
    EXPECT_FALSE(csv.contains(",139.700000,"));
    EXPECT_FALSE(csv.contains(",139.701000,"));
    EXPECT_EQ(FileBytes(out.Root() + "zoned.gpx").count("<trkpt"), 4);
    EXPECT_TRUE(run.err.contains("privacy: 1 zone from " + out.Root().toUtf8() + "Halvex.ini"))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("privacy: 2 positions left out")) << run.err.toStdString();
    const QJsonObject manifest =
        QJsonDocument::fromJson(FileBytes(out.Root() + "zoned.json")).object();
    EXPECT_EQ(manifest["choices"]["privacyZones"].toInt(), 1);
    EXPECT_EQ(manifest["choices"]["positionsLeftOut"].toInt(), 2);
    const QJsonArray sources = manifest["sources"].toArray();
    ASSERT_EQ(sources.size(), 2);
    EXPECT_EQ(sources[0]["positionsLeftOut"].toInt(), 2);
    EXPECT_EQ(sources[1]["positionsLeftOut"].toInt(), 0);
}

// What applies is said: the working folder's file, another one named, or
// none; route exports outside a clip leave the same points out.
TEST_F(ClipExport, TheZonesAppliedAreSaidAndRouteExportsHonourThem) {
    const QString zone = "[PRIVACY]\nCOUNT=1\nZONE1=35.60,139.70,150\n";
    out.Write("elsewhere.ini", zone.toUtf8());
    const QString gpx = HALVEX_BINARY_DIR "/tools/halvex-cli";
    const struct {
        const char* what;
        QStringList options;
        const char* said;
        int points;
    } cases[] = {
        {"no settings file", {}, "privacy: no zone set in ", 6},
        {"a file named", {"--privacy", "elsewhere.ini"}, "privacy: 1 zone from ", 4},
        {"opted out", {"--no-privacy"}, "privacy: no zone applied (--no-privacy)", 6},
    };
    for (const auto& c : cases) {
        const CliResult run =
            RunIn(gpx, QStringList{"gpx", "--trip", "0", card->path(), "--out", "-"} + c.options,
                  out.path());
        ASSERT_EQ(run.exitCode, 0) << c.what << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.said)) << c.what << run.err.toStdString();
        EXPECT_EQ(run.out.count("<trkpt"), c.points) << c.what;
    }
    out.Write("Halvex.ini", zone.toUtf8());
    for (const char* command : {"gpx", "csv", "kml"}) {
        const CliResult run = RunIn(gpx, {command, Front(1), "--out", out.path()}, out.path());
        ASSERT_EQ(run.exitCode, 0) << command << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("privacy: 2 positions left out"))
            << command << run.err.toStdString();
        const QByteArray written = FileBytes(QString::fromUtf8(run.out.trimmed()));
        EXPECT_FALSE(written.contains("139.700000")) << command;
        EXPECT_TRUE(written.contains("139.702000")) << command;
    }
    const CliResult both =
        RunIn(gpx, {"gpx", Front(1), "--privacy", "elsewhere.ini", "--no-privacy"}, out.path());
    EXPECT_EQ(both.exitCode, 2);
    const CliResult missing =
        Clip({Front(1), "--from", "0", "--to", "1", "--privacy", "none.ini"}, out.path());
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains("none.ini: no such settings file"))
        << missing.err.toStdString();
}

// Each zone line that cannot be read stops clip and gpx alike, naming it;
// nothing is written.
TEST_F(ClipExport, AZoneLineThatCannotBeReadStopsTheExportNamingIt) {
    const struct {
        const char* ini;
        const char* named; // the line the message names
    } cases[] = {
        {"COUNT=1\nZONE1=35.6,139.7,nan", "ZONE1=35.6,139.7,nan"},
        {"COUNT=1\nZONE1=35.6,139.7,inf", "ZONE1=35.6,139.7,inf"},
        {"COUNT=1\nZONE1=35.6,139.7,", "ZONE1=35.6,139.7,"},
        {"COUNT=1\nZONE1=35.6,139.7,-50", "ZONE1=35.6,139.7,-50"},
        {"COUNT=1\nZONE1=35.6,139.7,25m", "ZONE1=35.6,139.7,25m"},
        {"COUNT=1\nZONE1=35.6N,139.7E,150", "ZONE1=35.6N,139.7E,150"},
        {"COUNT=1\nZONE1=35,6,139,7,150", "ZONE1=35,6,139,7,150"},
        {"COUNT=1\nZONE1=35.6,139.7,150,1", "ZONE1=35.6,139.7,150,1"},
        {"ZONE1=35.6,139.7,150", "ZONE1=35.6,139.7,150"},
        {"COUNT=0\nZONE1=35.6,139.7,150", "COUNT=0"},
        {"COUNT=-1\nZONE1=35.6,139.7,150", "COUNT=-1"},
        {"COUNT=two\nZONE1=35.6,139.7,150", "COUNT=two"},
        {"COUNT=2\nZONE1=35.6,139.7,150", "COUNT=2"},
        {"COUNT=1\nZONE1=35.6,139.7,150\nZONE2=35.6,139.8,150", "ZONE2=35.6,139.8,150"},
        {"COUNT=1\nZONE1=35.6,139.7,150\nZONE1=1,2,3", "ZONE1=1,2,3"},
        {"COUNT=1\nZOME1=35.6,139.7,150", "ZOME1=35.6,139.7,150"},
        {"COUNT=1\n35.6,139.7,150", "35.6,139.7,150"},
    };
    for (const auto& c : cases) {
        ScratchDir folder;
        folder.Write("Halvex.ini", QByteArray("[UI]\nLANGID=ENG\n[PRIVACY]\n") + c.ini + "\n");
        const CliResult clip =
            Clip(Group() + QStringList{"--from", "0", "--to", "1", "--out", "c"}, folder.path());
        const CliResult gpx =
            RunIn(HALVEX_BINARY_DIR "/tools/halvex-cli",
                  {"gpx", "--trip", "0", card->path(), "--out", folder.path()}, folder.path());
        for (const CliResult* run : {&clip, &gpx}) {
            EXPECT_EQ(run->exitCode, 2) << c.ini;
            EXPECT_TRUE(run->err.contains(QByteArray("Halvex.ini, line ")))
                << c.ini << "\n"
                << run->err.toStdString();
            EXPECT_TRUE(run->err.contains(QByteArray(c.named) + ": ")) << c.ini << "\n"
                                                                       << run->err.toStdString();
            EXPECT_TRUE(run->out.isEmpty()) << c.ini;
        }
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{"Halvex.ini"})
            << c.ini;
    }
}

TEST_F(ClipExport, ASourceRecordingIsNeverOverwritten) {
    // A recording may carry the clip's own extension, or be reached through a
    // link under the clip's name: --overwrite does not reach it either.
    const QString source = out.Root() + "drive.mp4";
    ASSERT_TRUE(QFile::copy(Front(1), source));
    ASSERT_TRUE(QFile::link(source, out.Root() + "symbolic.mp4"));
    ASSERT_EQ(::link(QFile::encodeName(source).constData(),
                     QFile::encodeName(out.Root() + "hard.mp4").constData()),
              0);
    const auto before = Contents(out.path());
    for (const char* name : {"drive", "symbolic", "hard"}) {
        for (const QStringList& overwrite : {QStringList{}, QStringList{"--overwrite"}}) {
            const CliResult run = Clip(
                QStringList{source, "--from", "0.5", "--to", "1.5", "--out", out.Root() + name} +
                overwrite);
            EXPECT_EQ(run.exitCode, 1) << name;
            EXPECT_TRUE(run.err.contains("never overwritten")) << name << run.err.toStdString();
            EXPECT_EQ(Contents(out.path()), before) << name;
        }
    }
}

// A memory card: FAT, where FILE0010.mp4 is FILE0010.MP4 and every spelling
// of a path has an inode number of its own.
TEST_F(ClipExport, OnAFatCardAClipNeverReplacesItsSourceInAnotherCase) {
    FatCard fat;
    SKIP_OR_FAIL_UNLESS_FAT(fat);
    const QString folder = fat.Root() + "DCIM/Movie/front";
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString source = folder + "/FILE0010.MP4";
    ASSERT_TRUE(QFile::copy(Front(1), source));
    const auto before = Contents(folder);
    for (const char* name : {"DCIM/Movie/front/FILE0010.mp4", "DCIM/Movie/front/file0010",
                             "dcim/movie/FRONT/File0010"}) {
        for (const QStringList& overwrite : {QStringList{}, QStringList{"--overwrite"}}) {
            const CliResult run =
                Clip(QStringList{source, "--from", "2", "--to", "3", "--out", fat.Root() + name} +
                     overwrite);
            EXPECT_EQ(run.exitCode, 1) << name;
            EXPECT_TRUE(run.err.contains("is a source recording and is never overwritten"))
                << name << ": " << run.err.toStdString();
            EXPECT_EQ(Contents(folder), before) << name;
        }
    }
}

TEST_F(ClipExport, OnAFatCardAnEarlierClipIsReplacedOnlyWithOverwrite) {
    FatCard fat;
    SKIP_OR_FAIL_UNLESS_FAT(fat);
    const QString folder = fat.Root() + "clips";
    ASSERT_TRUE(QDir().mkpath(folder));
    const CliResult first =
        Clip({Front(1), "--from", "0.5", "--to", "1.5", "--out", folder + "/d"});
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    const auto earlier = Contents(folder);
    ASSERT_EQ(NamesOf(earlier), Bundle("d"));

    const QStringList later = {Front(1), "--from", "1", "--to", "2.5"};
    for (const char* name : {"d", "D", "d.MP4"}) {
        const CliResult run = Clip(later + QStringList{"--out", folder + "/" + name});
        EXPECT_EQ(run.exitCode, 1) << name;
        EXPECT_TRUE(run.err.contains("there already; --overwrite replaces it"))
            << name << ": " << run.err.toStdString();
        EXPECT_EQ(Contents(folder), earlier) << name;
    }
    const CliResult replaced = Clip(later + QStringList{"--out", folder + "/D", "--overwrite"});
    ASSERT_EQ(replaced.exitCode, 0) << replaced.err.toStdString();
    const auto now = Contents(folder);
    EXPECT_EQ(QString::fromStdString(NamesOf(now)).toLower().toStdString(), Bundle("d"))
        << "nothing else left";
    EXPECT_NE(now.begin()->second, earlier.begin()->second);
    const CliResult check = RunIn("sha256sum", {"-c", "--quiet", "D.sha256"}, folder);
    EXPECT_EQ(check.exitCode, 0) << check.out.toStdString() << check.err.toStdString();
}

TEST_F(ClipExport, OnAFatCardAFailedExportLeavesTheEarlierBundleByteForByte) {
    FatCard fat;
    SKIP_OR_FAIL_UNLESS_FAT(fat);
    const QString folder = fat.Root() + "clips";
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(Clip({Front(1), "--from", "0.5", "--to", "1.5", "--out", folder + "/d"}).exitCode, 0);
    // A folder named like the clip is in the way of the new bundle.
    ASSERT_TRUE(QFile::remove(folder + "/d.mp4"));
    ASSERT_TRUE(QDir().mkdir(folder + "/d.mp4"));
    const auto earlier = Contents(folder);
    const QStringList args =
        Group() + QStringList{"--from", "0", "--to", "6", "--out", folder + "/d"};
    for (const QStringList& overwrite : {QStringList{}, QStringList{"--overwrite"}}) {
        const CliResult run = Clip(args + overwrite);
        EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
        EXPECT_EQ(Contents(folder), earlier) << overwrite.join(' ').toStdString();
    }

    // The folder comes while the clip is written: the earlier files, already
    // replaced by then, come back.
    ASSERT_TRUE(QDir().rmdir(folder + "/d.mp4"));
    QProcess cli;
    cli.setReadChannel(QProcess::StandardError);
    cli.start(HALVEX_BINARY_DIR "/tools/halvex-cli",
              QStringList{"clip"} + args +
                  QStringList{"--layout", "side-by-side", "--overlay",
                              "time,speed,position,heading,g,map", "--overwrite"});
    ASSERT_TRUE(cli.waitForStarted());
    QByteArray err;
    while (!err.contains("clip: ") && cli.waitForReadyRead(10000))
        err += cli.readAllStandardError();
    ASSERT_TRUE(QDir().mkdir(folder + "/d.mp4"));
    ASSERT_TRUE(cli.waitForFinished(60000));
    err += cli.readAllStandardError();
    EXPECT_EQ(cli.exitCode(), 1);
    EXPECT_TRUE(err.contains("d.mp4: a folder of that name is in the way")) << err.toStdString();
    EXPECT_EQ(Contents(folder), earlier);
}

// A closed terminal cancels like Ctrl-C; after a kill, what the killed export
// left is gone once the next export into that folder has run, on a folder
// that takes files without names and on a FAT card, which does not.
TEST_F(ClipExport, AHangUpOrAKillDuringAnExportLeavesNothingOnceTheNextExportRan) {
    FatCard fat;
    if (!fat.Mounted() && !fat.Skippable())
        FAIL() << fat.Why().toStdString();
    QStringList folders = {out.path()};
    if (fat.Mounted())
        folders << fat.Root() + "clips";
    for (const QString& folder : folders) {
        ASSERT_TRUE(QDir().mkpath(folder));
        for (const int signal : {SIGHUP, SIGKILL}) {
            const std::string what = folder.toStdString() + (signal == SIGHUP ? " HUP" : " KILL");
            QProcess cli;
            cli.setReadChannel(QProcess::StandardError);
            cli.start(HALVEX_BINARY_DIR "/tools/halvex-cli",
                      QStringList{"clip"} + Group() +
                          QStringList{"--from", "0", "--to", "6", "--layout", "side-by-side",
                                      "--overlay", "time,speed,position,heading,g,map", "--out",
                                      folder + "/gone"});
            ASSERT_TRUE(cli.waitForStarted());
            QByteArray err;
            while (!err.contains("clip: ") && cli.waitForReadyRead(10000))
                err += cli.readAllStandardError();
            ASSERT_TRUE(err.contains("clip: ")) << what << err.toStdString();
            ::kill(pid_t(cli.processId()), signal);
            ASSERT_TRUE(cli.waitForFinished(30000)) << what;
            err += cli.readAllStandardError();
            if (signal == SIGHUP) {
                EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit) << what;
                EXPECT_EQ(cli.exitCode(), 1) << what;
                EXPECT_TRUE(err.contains("cancelled")) << what << err.toStdString();
                EXPECT_TRUE(Contents(folder).empty()) << what;
            }
            const CliResult next =
                Clip({Front(1), "--from", "0.5", "--to", "1.5", "--out", folder + "/next"});
            ASSERT_EQ(next.exitCode, 0) << what << next.err.toStdString();
            EXPECT_EQ(NamesOf(Contents(folder)), Bundle("next")) << what;
            for (const QString& name : QString::fromStdString(Bundle("next")).split(','))
                QFile::remove(folder + "/" + name);
        }
    }
}

// Names the bundle cannot be written under, and numbers past any recording,
// are refused before any work, as wrong usage.
TEST_F(ClipExport, UnusableNamesAndNumbersOutOfRangeAreRefused) {
    ASSERT_TRUE(QDir().mkdir(out.Root() + "sub"));
    const QString folderOnly = out.Root() + "sub";
    const struct {
        const char* name;
        QStringList args; // after the recording
        const char* message;
    } cases[] = {
        {"newline", {"--out", "a\nb"}, "control character (U+000A)"},
        {"tab", {"--out", "a\tb"}, "control character (U+0009)"},
        {"escape", {"--out", "a\x1b[2Jb"}, "control character (U+001B)"},
        {"folder/", {"--out", folderOnly + "/"}, "names a folder only"},
        {"folder", {"--out", folderOnly}, "names a folder only"},
        {".mp4", {"--out", ".mp4"}, "names a suffix only"},
        {"dir/.MP4", {"--out", "sub/.MP4"}, "names a suffix only"},
        {"1e300", {"--to", "1e300"}, "--to: 1e300 is out of range"},
        {"inf", {"--to", "inf"}, "--to: inf is out of range"},
        {"negative", {"--from", "-1"}, "--from: -1 is out of range"},
        {"month 13", {"--from", "2021-13-04 18:30:06"}, "out of range"},
        {"31 June", {"--from", "2021-06-31 18:30:06"}, "out of range"},
        {"hour 24", {"--to", "2021-07-04 24:00:00"}, "out of range"},
    };
    for (const auto& c : cases) {
        QStringList args = {Front(1), "--from", "0.5", "--to", "1.5"};
        for (int i = 0; i + 1 < c.args.size(); i += 2) {
            const int at = args.indexOf(c.args[i]);
            if (at >= 0)
                args[at + 1] = c.args[i + 1];
            else
                args << c.args[i] << c.args[i + 1];
        }
        const CliResult run = Clip(args, out.path());
        EXPECT_EQ(run.exitCode, 2) << c.name;
        EXPECT_TRUE(run.err.contains(c.message)) << c.name << ": " << run.err.toStdString();
        EXPECT_FALSE(run.err.contains("ends before it starts")) << c.name;
        EXPECT_EQ(NamesOf(Contents(out.path())), "sub") << c.name;
        EXPECT_TRUE(
            QDir(folderOnly).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
            << c.name;
    }

    // Bytes that are not UTF-8 would become U+FFFD, a different name.
    const CliResult bytes =
        RunIn("sh",
              {"-c", "exec \"$0\" clip \"$1\" --from 0.5 --to 1.5 --out \"$(printf 'a\\377b')\"",
               HALVEX_BINARY_DIR "/tools/halvex-cli", Front(1)},
              out.path());
    EXPECT_EQ(bytes.exitCode, 2);
    EXPECT_TRUE(bytes.err.contains("--out: the name is not valid UTF-8"))
        << bytes.err.toStdString();
    EXPECT_EQ(NamesOf(Contents(out.path())), "sub");
}

TEST_F(ClipExport, AFullDiskLeavesNothingUnderTheFinalName) {
    TinyDisk disk;
    SKIP_UNLESS_MOUNTED(disk);
    disk.Fill();
    QFile filler(disk.path() + "/filler");
    filler.resize(filler.size() - 64 * 1024); // room for a start, not for the clip
    const CliResult run =
        Clip(Group() + QStringList{"--from", "0", "--to", "6", "--layout", "side-by-side",
                                   "--overlay", "time", "--out", disk.path() + "/clip"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("No space left on device")) << run.err.toStdString();
    EXPECT_EQ(disk.Names(), QStringList{"filler"});
}

TEST_F(ClipExport, ACancelledExportLeavesNothing) {
    QProcess cli;
    cli.setReadChannel(QProcess::StandardError);
    cli.start(HALVEX_BINARY_DIR "/tools/halvex-cli",
              QStringList{"clip"} + Group() +
                  QStringList{"--from", "0", "--to", "6", "--layout", "side-by-side", "--overlay",
                              "time,speed,position,heading,g,map", "--out",
                              out.Root() + "cancelled"});
    ASSERT_TRUE(cli.waitForStarted());
    QByteArray err;
    while (!err.contains("clip: ") && cli.waitForReadyRead(10000))
        err += cli.readAllStandardError();
    ASSERT_TRUE(err.contains("clip: ")) << err.toStdString();
    ::kill(pid_t(cli.processId()), SIGINT);
    ASSERT_TRUE(cli.waitForFinished(30000));
    err += cli.readAllStandardError();
    EXPECT_EQ(cli.exitCode(), 1);
    EXPECT_TRUE(err.contains("cancelled")) << err.toStdString();
    EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

} // namespace
