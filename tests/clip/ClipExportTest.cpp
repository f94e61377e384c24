// halvex-cli clip run as a user would, on synthesized recordings, its
// results read back with ffprobe, ffmpeg and sha256sum.
#include "clip/ClipGeometry.h"
#include "clip/ClipOverlayImage.h"
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
QByteArray LumaFrame(const QString& path, int n) {
    return RunIn("ffmpeg",
                 {"-v", "error", "-i", path, "-vf", QStringLiteral("select=eq(n\\,%1)").arg(n),
                  "-frames:v", "1", "-f", "rawvideo", "-pix_fmt", "gray", "-"})
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
        {"front", 320, 180},
        {"rear", 160, 90},
        {"side-by-side", 640, 180},
        {"picture-in-picture", 320, 180},
        {"front-above-rear", 320, 360},
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
        const QString name = out.Root() + "silent";
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
    ASSERT_EQ(last.size(), 640 * 180);
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
    const QByteArray clip = LumaFrame(name + ".mp4", 5);
    const QByteArray source = LumaFrame(Front(1), 15);
    ASSERT_EQ(clip.size(), 320 * 180);
    ASSERT_EQ(source.size(), clip.size());
    ClipOptions options;
    options.overlays = kOverlayTime;
    ClipGeometry g;
    QString error;
    ASSERT_TRUE(ComputeClipGeometry(options, QSize(320, 180), QSize(),
                                    OverlayBoxSize(QSize(320, 180), 1, false), &g, &error));
    double inside = 0, outside = 0;
    int insideCount = 0, outsideCount = 0;
    const QRect near = g.figures.adjusted(-4, -4, 4, 4); // the encoder's blocks blur edges
    for (int y = 0; y < 180; ++y) {
        for (int x = 0; x < 320; ++x) {
            const int d = std::abs(uint8_t(clip[y * 320 + x]) - uint8_t(source[y * 320 + x]));
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

TEST_F(ClipExport, PositionsInAPrivacyZoneStayOutOfTheBundle) {
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
}

TEST_F(ClipExport, ASourceRecordingIsNeverOverwritten) {
    // A recording may carry the clip's own extension.
    const QString source = out.Root() + "drive.mp4";
    ASSERT_TRUE(QFile::copy(Front(1), source));
    const QByteArray before = FileBytes(source);
    const CliResult run =
        Clip({source, "--from", "0.5", "--to", "1.5", "--out", out.Root() + "drive"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("never overwritten")) << run.err.toStdString();
    EXPECT_EQ(FileBytes(source), before);
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"drive.mp4"});
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
