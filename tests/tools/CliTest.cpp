// halvex-cli run as a user would, on synthesized recordings.
#include "tools/synth/RecordingWriter.h"

#include "HalvexVersion.h"
#include "tests/support/core/CatalogStaging.h"
#include "tests/support/core/ProgramRun.h"
#include "tests/support/core/ScratchDir.h"
#include "tests/support/core/SynthFixture.h"
#include "tests/support/core/TinyDisk.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>
#include <set>

namespace {

using CliRun = ProgramRun;

CliRun RunCli(const QStringList& args,
              const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
              const QString& outputFile = QString()) {
    return RunProgram(QStringLiteral(HALVEX_BINARY_DIR "/tools/halvex-cli"), args, env, outputFile);
}

QJsonObject JsonOf(const CliRun& run) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(run.out, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out.left(200).toStdString();
    return doc.object();
}

std::set<QString> KeysOf(const QJsonObject& o) {
    const QStringList keys = o.keys();
    return {keys.begin(), keys.end()};
}

class Cli : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        card = new ScratchDir;
        synth::RecordingRecipe chunk;
        chunk.container = synth::Container::MovBoxes;
        chunk.fixes = {synth::Fix{35.5, 139.75, 12, 40, 90}, synth::Fix{35.51, 139.76, 13, 50, 92}};
        for (int i = 0; i < 20; ++i)
            chunk.gsensor.push_back({int16_t(i), int16_t(-i), 16});
        Write(chunk, "DCIM/Movie/front/FILE0010.MOV");

        synth::RecordingRecipe track = chunk;
        track.container = synth::Container::MovTrack;
        track.fixes.assign(10, synth::Fix{35.5, 139.75, 0, 40, 90});
        track.gsensor.assign(10, GSensorSample{1, 2, 3});
        Write(track, "DCIM/MovieF/MOV_0001F.MOV");

        card->Write("DCIM/FILE0002.MOV", "not a recording");
    }
    static void TearDownTestSuite() {
        delete card;
        card = nullptr;
    }
    static void Write(const synth::RecordingRecipe& recipe, const QString& relative) {
        synthtest::WriteBelow(card->Root(), recipe, relative);
    }
    static QString ChunkFile() { return card->Root() + "DCIM/Movie/front/FILE0010.MOV"; }
    static QString TrackFile() { return card->Root() + "DCIM/MovieF/MOV_0001F.MOV"; }

    static ScratchDir* card;
};

ScratchDir* Cli::card = nullptr;

TEST_F(Cli, ScanJsonShape) {
    const CliRun run = RunCli({"scan", "--json", card->path()});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QJsonObject scan = JsonOf(run);
    EXPECT_EQ(KeysOf(scan), (std::set<QString>{"scanCount", "groups"}));
    EXPECT_EQ(scan["scanCount"].toInt(), 3);
    const QJsonArray groups = scan["groups"].toArray();
    ASSERT_EQ(groups.size(), 1) << "both recordings start together";
    const QJsonObject group = groups[0].toObject();
    EXPECT_EQ(KeysOf(group), (std::set<QString>{"number", "firstFile", "fileCount",
                                                "totalDurationMs", "totalSize", "flags", "files"}));
    EXPECT_EQ(group["fileCount"].toInt(), 2);
    EXPECT_EQ(group["totalDurationMs"].toInt(), 4000);

    const QJsonArray files = group["files"].toArray();
    ASSERT_EQ(files.size(), 2);
    const QJsonObject file = files[1].toObject();
    EXPECT_EQ(KeysOf(file),
              (std::set<QString>{"fileName", "root", "folder", "groupStart", "flags", "gpsOffset",
                                 "gpsSize", "gsensorOffset", "gsensorSize", "width", "height",
                                 "startTime", "durationSeconds", "durationMs", "fileSize",
                                 "gpsParams", "gsensorParams", "variant", "metaChunks"}));
    EXPECT_EQ(file["fileName"].toString(), "MOV_0001F.MOV");
    EXPECT_EQ(file["root"].toString(), card->Root());
    EXPECT_EQ(file["folder"].toString(), "DCIM/MovieF/");
    EXPECT_EQ(file["variant"].toInt(), 1);
    EXPECT_EQ(file["metaChunks"].toInt(), 10);
    EXPECT_EQ(file["gsensorParams"].toArray(), (QJsonArray{5, 8, 2, 1}));
    EXPECT_EQ(file["width"].toInt(), 160);
    EXPECT_EQ(files[0].toObject()["fileName"].toString(), "FILE0010.MOV");
    EXPECT_GT(files[0].toObject()["gpsOffset"].toDouble(), 0);
    EXPECT_EQ(files[0].toObject()["gpsSize"].toInt(), 64);

    const CliRun text = RunCli({"scan", card->path()});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_TRUE(text.out.contains("G0-1")) << text.out.toStdString();
    EXPECT_TRUE(text.out.contains("MOV_0001F.MOV"));
    EXPECT_TRUE(text.out.contains("160x90"));
}

TEST_F(Cli, ScanJsonIsWrittenAsQtWritesTheWholeDocument) {
    // The scan is written a recording at a time; its bytes must stay those of
    // the indented document, whatever the names hold and however many groups.
    ScratchDir empty;
    ScratchDir odd;
    const QString folder = QStringLiteral("DCIM/Fo\"l\\der \u00e9/");
    const QString names[] = {QStringLiteral("FILE0001\t\x1b[2J.MOV"),
                             QStringLiteral("FILE0002\u65e5\u672c.MOV"),
                             QStringLiteral("FILE0003\u2028.MOV"),
                             QStringLiteral("FILE0004\b\f\n\r\x01\x1f\"\\\U0001F697.MOV")};
    ASSERT_TRUE(QDir().mkpath(odd.Root() + folder));
    for (const QString& name : names)
        ASSERT_TRUE(QFile::copy(ChunkFile(), odd.Root() + folder + name));
    synth::RecordingRecipe later;
    later.container = synth::Container::MovTrack;
    later.fixes.assign(5, synth::Fix{35.5, 139.75, 0, 40, 90});
    later.start = later.start.addDays(3);
    synthtest::WriteBelow(odd.Root(), later, "DCIM/MovieF/MOV_0009F.MOV");

    const struct {
        const char* name;
        QString folder;
        int groups;
    } cases[] = {{"empty folder", empty.path(), 0}, {"odd names", odd.path(), 2}};
    for (const auto& c : cases) {
        const CliRun run = RunCli({"scan", "--json", c.folder});
        ASSERT_EQ(run.exitCode, 0) << c.name << ": " << run.err.toStdString();
        const QJsonDocument doc = QJsonDocument::fromJson(run.out);
        EXPECT_EQ(doc["groups"].toArray().size(), c.groups) << c.name;
        EXPECT_EQ(run.out, doc.toJson()) << c.name;
    }
}

TEST_F(Cli, InfoOfOneFile) {
    const CliRun run = RunCli({"info", "--json", TrackFile()});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QJsonObject info = JsonOf(run); // parser trace lines stay off standard output
    EXPECT_EQ(info["variant"].toInt(), 1);
    EXPECT_EQ(info["metaChunks"].toInt(), 10);
    EXPECT_EQ(info["durationMs"].toInt(), 2000);
    EXPECT_EQ(info["gpsParams"].toArray(), (QJsonArray{5, 0, 0, 0}));
    EXPECT_FALSE(info.contains("fileName"));

    const CliRun text = RunCli({"info", ChunkFile()});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_TRUE(text.out.contains("160x90")) << text.out.toStdString();
}

TEST_F(Cli, TrackOfBothVariants) {
    const CliRun chunk = RunCli({"track", "--json", ChunkFile()});
    ASSERT_EQ(chunk.exitCode, 0) << chunk.err.toStdString();
    const QJsonObject t = JsonOf(chunk);
    EXPECT_EQ(KeysOf(t),
              (std::set<QString>{"variant", "gpsRate", "sampleCount", "points", "samples"}));
    EXPECT_EQ(t["variant"].toInt(), 0);
    EXPECT_EQ(t["gpsRate"].toDouble(), 1.0);
    EXPECT_EQ(t["sampleCount"].toInt(), 20);
    const QJsonArray points = t["points"].toArray();
    ASSERT_EQ(points.size(), 2);
    const QJsonObject p = points[1].toObject();
    EXPECT_NEAR(p["latitude"].toDouble(), 3530.6, 1e-6) << "chunk records keep the NMEA form";
    EXPECT_NEAR(p["longitude"].toDouble(), 13945.6, 1e-6);
    EXPECT_EQ(p["altitude"].toInt(), 13);
    EXPECT_EQ(p["speed"].toInt(), 50);
    EXPECT_EQ(p["heading"].toInt(), 46);
    EXPECT_EQ(p["flags"].toInt(), 1);
    EXPECT_EQ(p["year"].toInt(), 21);
    EXPECT_EQ(p["second"].toInt(), 6);
    const QJsonArray samples = t["samples"].toArray();
    ASSERT_EQ(samples.size(), 20);
    EXPECT_EQ(samples[7].toArray(), (QJsonArray{7, -7, 16}));

    const CliRun meta = RunCli({"track", "--json", TrackFile()});
    ASSERT_EQ(meta.exitCode, 0) << meta.err.toStdString();
    const QJsonObject m = JsonOf(meta);
    EXPECT_EQ(m["variant"].toInt(), 1);
    EXPECT_EQ(m["gpsRate"].toDouble(), 5.0);
    EXPECT_EQ(m["points"].toArray().size(), 10);
    EXPECT_NEAR(m["points"].toArray()[0].toObject()["latitude"].toDouble(), 35.5, 1e-4);
}

TEST_F(Cli, KmlIntoAFolderOrTheDocumentsFolder) {
    ScratchDir out;
    const QString folder = out.path() + "/new/kml";
    const CliRun run = RunCli({"kml", ChunkFile(), "--out", folder});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString expected = folder + "/FILE0010_2021_07_04_18-30-05.KML";
    EXPECT_EQ(run.out, (expected + "\n").toUtf8());
    QFile kml(expected);
    ASSERT_TRUE(kml.open(QIODevice::ReadOnly));
    const QByteArray text = kml.readAll();
    EXPECT_TRUE(
        text.contains("        <coordinates>\n139.750000,35.500000,12\n139.760000,35.510000,13\n"))
        << text.toStdString();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", out.path());
    env.insert("XDG_CONFIG_HOME", out.path() + "/.config");
    env.remove("XDG_DOCUMENTS_DIR");
    const CliRun home = RunCli({"kml", TrackFile()}, env);
    ASSERT_EQ(home.exitCode, 0) << home.err.toStdString();
    const QString inDocuments =
        out.path() + "/Documents/Halvex Ostrel Zarn/KML/MOV_0001F_2021_07_04_18-30-05.KML";
    EXPECT_EQ(home.out, (inDocuments + "\n").toUtf8());
    EXPECT_TRUE(QFileInfo(inDocuments).isFile());
}

TEST_F(Cli, ExitCodesAndMessages) {
    const QString bad = card->Root() + "DCIM/FILE0002.MOV";
    const struct {
        QStringList args;
        int exitCode;
        const char* inOut; // expected on standard output ("" = nothing)
        const char* inErr; // expected on standard error
    } cases[] = {
        {{}, 2, "", "Usage: halvex-cli"},
        {{"--help"}, 0, "Usage: halvex-cli", ""},
        {{"scan", "--help"}, 0, "Usage: halvex-cli scan", ""},
        {{"kml", "--help"}, 0, "--out DIR", ""},
        {{"--version"}, 0, "halvex-cli " HALVEX_VERSION "\n", ""},
        {{"frob"}, 2, "", "unknown command frob"},
        {{"--frob"}, 2, "", "unknown option --frob"},
        {{"scan"}, 2, "", "Usage: halvex-cli scan"},
        {{"scan", "--deep", card->path()}, 2, "", "unknown option --deep"},
        {{"info", bad, bad}, 2, "", "unexpected argument"},
        {{"kml", "--json", bad}, 2, "", "unknown option --json"},
        {{"kml", bad, "--out"}, 2, "", "--out needs a folder"},
        {{"scan", "/nonexistent/card"}, 1, "", "no such folder"},
        {{"info", bad}, 1, "", "not a recording of this camera"},
        {{"track", "/nonexistent.MOV"}, 1, "", "no such file"},
        {{"kml", bad, "--out", card->path()}, 1, "", "not a recording"},
        // "--" ends the options: what follows is a name, however it looks.
        {{"info", "--", "--help"}, 1, "", "--help: no such file"},
        {{"gpx", "--", "-x.MOV"}, 1, "", "-x.MOV: no such file"},
        {{"csv", "--frob"}, 2, "", "unknown option --frob"},
        {{"kml", ChunkFile(), "--out", "-"}, 1, "", "--out - is not available"},
    };
    for (const auto& c : cases) {
        const CliRun run = RunCli(c.args);
        const std::string what = c.args.join(' ').toStdString();
        EXPECT_EQ(run.exitCode, c.exitCode) << what;
        if (*c.inOut)
            EXPECT_TRUE(run.out.contains(c.inOut)) << what << ": " << run.out.toStdString();
        else
            EXPECT_TRUE(run.out.isEmpty()) << what << ": " << run.out.toStdString();
        EXPECT_TRUE(run.err.contains(c.inErr)) << what << ": " << run.err.toStdString();
    }
}

TEST_F(Cli, ResultsThatCannotBeWrittenFail) {
    for (const QStringList& args :
         {QStringList{"scan", card->path()}, QStringList{"info", "--json", TrackFile()},
          QStringList{"track", ChunkFile()}}) {
        const CliRun run = RunCli(args, QProcessEnvironment::systemEnvironment(), "/dev/full");
        EXPECT_EQ(run.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("cannot write the results")) << run.err.toStdString();
    }
}

TEST_F(Cli, ControlCharactersInNamesCannotReachTheTerminal) {
    ScratchDir odd;
    // A name that would clear the screen, in a folder that would set the
    // terminal's title.
    const QString folder = QStringLiteral("DCIM\x1b]0;owned\x07/");
    const QString name = QStringLiteral("FILE0001\x1b[2J\u009b.MOV");
    ASSERT_TRUE(QDir().mkpath(odd.Root() + folder));
    ASSERT_TRUE(QFile::copy(ChunkFile(), odd.Root() + folder + name));

    const CliRun text = RunCli({"scan", odd.path()});
    ASSERT_EQ(text.exitCode, 0) << text.err.toStdString();
    EXPECT_TRUE(text.out.contains("FILE0001\\x1b[2J\\x9b.MOV")) << text.out.toStdString();
    EXPECT_TRUE(text.out.contains("DCIM\\x1b]0;owned\\x07/"));
    for (const QByteArray& raw : {QByteArray("\x1b"), QByteArray("\x07"), QByteArray("\xc2\x9b")})
        EXPECT_FALSE(text.out.contains(raw));

    const CliRun json = RunCli({"scan", "--json", odd.path()});
    ASSERT_EQ(json.exitCode, 0);
    EXPECT_FALSE(json.out.contains("\x1b") || json.out.contains("\xc2\x9b"))
        << json.out.toStdString();
    const QJsonObject file =
        JsonOf(json)["groups"].toArray()[0].toObject()["files"].toArray()[0].toObject();
    EXPECT_EQ(file["fileName"].toString(), name) << "the escapes read back as the name";

    for (const char* command : {"info", "gpx", "csv"}) {
        const CliRun missing = RunCli({command, odd.Root() + "\x1b[2J.MOV"});
        EXPECT_EQ(missing.exitCode, 1) << command;
        EXPECT_TRUE(missing.err.contains("\\x1b[2J.MOV: no such file"))
            << command << ": " << missing.err.toStdString();
        const CliRun option = RunCli({command, "--\x1b]0;owned\x07"});
        EXPECT_FALSE(option.err.contains("\x1b")) << command << ": " << option.err.toStdString();
    }
    const CliRun written = RunCli({"gpx", odd.Root() + folder + name, "--out", odd.path()});
    ASSERT_EQ(written.exitCode, 0) << written.err.toStdString();
    EXPECT_FALSE(written.out.contains("\x1b")) << written.out.toStdString();
}

// On a full disk the points CSV may fit while the samples CSV does not: the
// user is told why, and no lone half of the pair is left behind.
TEST_F(Cli, ACsvPairThatDoesNotFitLeavesNothingAndSaysWhy) {
    TinyDisk disk;
    SKIP_UNLESS_MOUNTED(disk);
    const CliRun sized = RunCli({"csv", ChunkFile(), "--out", "-"});
    ASSERT_EQ(sized.exitCode, 0);
    // Room for the points CSV and a little, not for the samples as well.
    QFile filler(disk.path() + "/filler");
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size()) {
    }
    filler.close();
    filler.resize(filler.size() - 4096); // one page: the points CSV's
    const CliRun run = RunCli({"csv", ChunkFile(), "--gsensor", "--out", disk.path()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("No space left on device")) << run.err.toStdString();
    EXPECT_EQ(disk.Names(), QStringList{"filler"});
}

// The parsers' trace lines are diagnostics: off unless Qt's logging rules ask.
TEST(CliOutput, ScanOfTheDemoCardPrintsOnlyTheListingUnlessDiagnosticsAreAsked) {
    ScratchDir demo;
    ASSERT_EQ(
        RunProgram(HALVEX_BINARY_DIR "/tools/halvex-synth", {"demo-card", demo.path()}).exitCode,
        0);
    for (const bool diagnostics : {false, true}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("QT_LOGGING_RULES");
        if (diagnostics)
            env.insert("QT_LOGGING_RULES", "halvex.diag.debug=true");
        const CliRun run = RunCli({"scan", demo.path()}, env);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_TRUE(run.out.contains("MOV_0001F.MOV")) << run.out.toStdString();
        // The start time of the metadata-track file, as "<epoch>: <date> <time>".
        const QRegularExpression trace("\\d+: \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$",
                                       QRegularExpression::MultilineOption);
        EXPECT_FALSE(QString::fromUtf8(run.out).contains(trace)) << run.out.toStdString();
        if (diagnostics)
            EXPECT_TRUE(QString::fromUtf8(run.err).contains(trace)) << run.err.toStdString();
        else
            EXPECT_EQ(run.err, QByteArray());
    }
}

} // namespace
