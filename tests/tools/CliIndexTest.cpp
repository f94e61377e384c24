// halvex-cli trips, events and near, run as a user would on a synthesized card.
#include "tests/cardindex/IndexFixture.h"
#include "tests/support/core/MeasuredRun.h"
#include "tests/support/core/ProgramRun.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace indextest;

// Two trips an hour apart; the first brakes hard 10 s into its second file.
class CliIndex : public IndexTest {
  protected:
    void SetUp() override {
        auto samples = QuietSamples(20, 10);
        for (int i = 100; i < 106; ++i)
            samples[size_t(i)].y = -10;
        WritePair(Recipe(At(9, 8, 0, 0), StraightFixes(35.0, 139.0, 0, std::vector<int>(20, 36)),
                         QuietSamples(20, 10)),
                  60);
        WritePair(
            Recipe(At(9, 8, 0, 20),
                   StraightFixes(35.0 + 200 / kMetresPerDegree, 139.0, 0, std::vector<int>(20, 36)),
                   samples),
            62);
        thirdTrip = WritePair(ThirdTrip(35.1), 64, true, false);
        env.insert("XDG_CACHE_HOME", cache.path());
    }
    // East along the given latitude.
    static synth::RecordingRecipe ThirdTrip(double latitude) {
        return Recipe(At(9, 9, 0, 0), StraightFixes(latitude, 139.0, 90, std::vector<int>(20, 54)),
                      QuietSamples(20, 10));
    }
    ProgramRun Cli(QStringList args) {
        return RunProgram(QStringLiteral(HALVEX_BINARY_DIR "/tools/halvex-cli"), args, env);
    }
    static QJsonObject Json(const ProgramRun& run) {
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(run.out, &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out.left(200).toStdString();
        return doc.object();
    }
    QStringList Databases() const {
        return QDir(cache.path() + "/halvex").entryList({"*.sqlite"}, QDir::Files);
    }

    QString thirdTrip;
    ScratchDir cache;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
};

TEST_F(CliIndex, TripsAndEventsAsTextAndJson) {
    const ProgramRun trips = Cli({"trips", "--json", card.path()});
    ASSERT_EQ(trips.exitCode, 0) << trips.err.toStdString();
    const QJsonArray list = Json(trips)["trips"].toArray();
    ASSERT_EQ(list.size(), 2);
    const QJsonObject first = list[0].toObject();
    EXPECT_EQ(first["events"].toInt(), 1);
    EXPECT_EQ(first["recordings"].toArray().size(), 2); // the rears count with their fronts
    EXPECT_NEAR(first["distanceM"].toDouble(), 390 * 110.9 / 111.3, 3);
    EXPECT_EQ(first["start"].toString(), "2024-03-09T08:00:00Z");
    EXPECT_EQ(first["durationMs"].toDouble(), 40000);
    EXPECT_EQ(Json(trips)["days"].toArray().size(), 1);

    const ProgramRun events = Cli({"events", "--json", card.path()});
    ASSERT_EQ(events.exitCode, 0);
    const QJsonArray found = Json(events)["events"].toArray();
    ASSERT_EQ(found.size(), 1);
    const QJsonObject braking = found[0].toObject();
    EXPECT_EQ(braking["kind"].toString(), "harsh braking");
    EXPECT_EQ(braking["time"].toString().left(19), "2024-03-09T08:00:30");
    EXPECT_TRUE(braking["recording"].toString().endsWith("front/FILE0620.MOV"));
    EXPECT_EQ(braking["position"].toArray().size(), 2);

    const ProgramRun text = Cli({"trips", card.path()});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_TRUE(text.out.contains("2 trips from 5 recordings")) << text.out.toStdString();
    EXPECT_TRUE(text.out.contains("2024-03-09: 2 trips"));
    const ProgramRun eventText = Cli({"events", card.path()});
    EXPECT_TRUE(eventText.out.contains("harsh braking")) << eventText.out.toStdString();
    EXPECT_TRUE(eventText.out.contains("dcim/front/FILE0620.MOV (+10."));
}

TEST_F(CliIndex, NearAndItsArguments) {
    // The second trip runs east along 35.1; the place lies 20 m north of it.
    const QString place = QStringLiteral("%1,139.001").arg(35.1 + 20 / kMetresPerDegree, 0, 'f', 7);
    const ProgramRun near = Cli({"near", place, "--json", card.path()});
    ASSERT_EQ(near.exitCode, 0) << near.err.toStdString();
    const QJsonArray hits = Json(near)["hits"].toArray();
    ASSERT_EQ(hits.size(), 1);
    EXPECT_NEAR(hits[0].toObject()["distanceM"].toDouble(), 20, 0.5);
    EXPECT_TRUE(Cli({"near", place, "--radius", "15", card.path()})
                    .out.contains("0 recordings within 15 m"));

    struct Case {
        QStringList args;
        int exitCode;
        const char* says;
    };
    const Case cases[] = {
        {{"near", "-33.8,151.2", card.path()}, 0, "0 recordings within 50 m"},
        {{"near", "35.1", card.path()}, 2, "not a place"},
        {{"near", "91,0", card.path()}, 2, "not a place"},
        {{"near", "35,139", "--radius", "0", card.path()}, 2, "--radius"},
        {{"near", "35,139", "--radius"}, 2, "--radius needs"},
        {{"near", "35,139"}, 2, "missing folder"},
        {{"trips", "--fast", card.path()}, 2, "unknown option --fast"},
        {{"events", card.path(), "extra"}, 2, "unexpected argument extra"},
        {{"trips", card.path() + "/none"}, 1, "no such folder"},
        {{"trips", "--help"}, 0, "Usage: halvex-cli trips"},
    };
    for (const Case& c : cases) {
        const ProgramRun run = Cli(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_TRUE((run.out + run.err).contains(c.says))
            << c.args.join(' ').toStdString() << ": " << (run.out + run.err).toStdString();
    }
}

// What a user reads: counts in the singular where there is one, the group
// as 'scan' prints it, mistakes named with what would have been right.
TEST_F(CliIndex, TheCommandLineSpeaksPlainly) {
    const QString place = QStringLiteral("%1,139.001").arg(35.1 + 20 / kMetresPerDegree, 0, 'f', 7);
    const QString folder = card.path();
    const QStringList span = {"--from", "0", "--to", "5"};
    struct Case {
        const char* name;
        QStringList args;
        int exitCode;
        const char* says; // on standard output or error
    };
    const Case cases[] = {
        {"a day's one event", {"trips", folder}, 0, "moving, 1 event\n"},
        {"two trips", {"trips", folder}, 0, "2 trips from 5 recordings\n"},
        {"one event", {"events", folder}, 0, "\n1 event\n"},
        {"one recording near", {"near", place, folder}, 0, "1 recording within 50 m"},
        {"none near", {"near", "-33.8,151.2", folder}, 0, "0 recordings within 50 m"},
        {"pairs and recordings", {"scan", folder}, 0, "5 recordings (2 front/rear pairs) in "},
        {"durations as h:mm:ss", {"scan", folder}, 0, " 0:00:40 "},
        {"group as scan prints it", {"gpx", "--trip", "G1", folder, "--out", "-"}, 0, "<gpx"},
        {"group as a number", {"gpx", "--trip", "1", folder, "--out", "-"}, 0, "<gpx"},
        {"no such group", {"csv", "--trip", "G7", folder, "--out", "-"}, 1, "no group 7"},
        {"not a group", {"gpx", "--trip", "Gx", folder}, 2, "--trip needs a group (G2 or 2)"},
        {"clip's group as scan prints it", QStringList{"clip", "--group", "G7", folder} + span, 1,
         "no group 7"},
        {"clip's group not a group", QStringList{"clip", "--group", "7G", folder} + span, 2,
         "--group needs a group (G2 or 2) and a folder, not 7G"},
        {"unknown figure",
         QStringList{"clip", "--group", "G0", folder, "--overlay", "time,altitude"} + span, 2,
         "unknown figure: altitude (known: time, speed"},
        {"time not read",
         {"clip", "--group", "G0", folder, "--from", "soon", "--to", "5"},
         2,
         "--from: not a time: soon; give seconds from the start of the first recording (12.5) "
         "or the camera's local time as YYYY-MM-DD HH:MM:SS"},
        {"span after the recordings",
         {"clip", "--group", "G0", folder, "--from", "30", "--to", "500"},
         1,
         "the clip ends after the recordings: they run from 2024-03-09 08:00:00 to 2024-03-09 "
         "08:00:40 (0 to 40.0 s)"},
        {"span before the recordings",
         {"clip", "--group", "G0", folder, "--from", "2024-03-09 07:59:00", "--to", "5"},
         1,
         "the clip starts before the recordings: they run from 2024-03-09 08:00:00"},
    };
    for (const Case& c : cases) {
        const ProgramRun run = Cli(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.name << ": " << run.err.toStdString();
        EXPECT_TRUE((run.out + run.err).contains(c.says))
            << c.name << ": " << (run.out + run.err).toStdString();
    }
}

TEST_F(CliIndex, TheCacheIsKeptBypassedAndSurvivesDamage) {
    const ProgramRun bypass = Cli({"trips", "--no-cache", card.path()});
    ASSERT_EQ(bypass.exitCode, 0);
    EXPECT_TRUE(Databases().isEmpty());

    const ProgramRun first = Cli({"trips", card.path()});
    ASSERT_EQ(first.exitCode, 0);
    EXPECT_EQ(first.err, "");
    ASSERT_EQ(Databases().size(), 1);
    EXPECT_EQ(first.out, bypass.out);

    QFile database(cache.path() + "/halvex/" + Databases().front());
    ASSERT_TRUE(database.open(QIODevice::WriteOnly));
    database.write(QByteArray(4096, '\x01'));
    database.close();
    const ProgramRun damaged = Cli({"trips", card.path()});
    EXPECT_EQ(damaged.exitCode, 0);
    EXPECT_EQ(damaged.out, bypass.out);
    EXPECT_EQ(damaged.err, "halvex-cli: Card index cache was damaged; it was rebuilt.\n");
}

// A cache in a state the program did not leave it in: each command still
// answers what the recordings hold, says why the cache was not used, returns
// (the test stops a run that does not) and keeps its memory bounded; a file
// of another program the cache's name leads to stays as it was.
enum class Spoil { Fifo, LinkToForeign, HugeRow, RewrittenTimeRestored };

struct SpoilCase {
    Spoil spoil;
    const char* name;
    const char* note; // what stderr says; "" for nothing at all
};

class CliIndexCache : public CliIndex, public ::testing::WithParamInterface<SpoilCase> {};

TEST_P(CliIndexCache, AnswersWhatTheRecordingsHold) {
    const SpoilCase c = GetParam();
    ScratchDir elsewhere;
    const QByteArray foreign = QFile::encodeName(elsewhere.path() + "/places.sqlite");
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(foreign.constData(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db,
                               "CREATE TABLE places (name TEXT, visits INTEGER);"
                               "INSERT INTO places VALUES ('home', 3); PRAGMA user_version = 12;",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
    }
    QFile foreignFile(QFile::decodeName(foreign));
    ASSERT_TRUE(foreignFile.open(QIODevice::ReadOnly));
    const QByteArray foreignBytes = foreignFile.readAll();
    foreignFile.close();

    // 20 m north of the third trip where it first ran.
    const QString place = QStringLiteral("%1,139.001").arg(35.1 + 20 / kMetresPerDegree, 0, 'f', 7);
    long maxRssKiB = 0;
    int rewrites = 0;
    for (const QStringList& command :
         {QStringList{"trips"}, QStringList{"events"}, QStringList{"near", place}}) {
        const std::string what = command.join(' ').toStdString();
        QDir(cache.path() + "/halvex").removeRecursively();
        ASSERT_EQ(Cli(command + QStringList{card.path()}).exitCode, 0) << what;
        ASSERT_EQ(Databases().size(), 1);
        const QByteArray database =
            QFile::encodeName(cache.path() + "/halvex/" + Databases().front());
        switch (c.spoil) {
        case Spoil::Fifo:
            ASSERT_EQ(::unlink(database.constData()), 0);
            ASSERT_EQ(::mkfifo(database.constData(), 0600), 0);
            break;
        case Spoil::LinkToForeign:
            ASSERT_EQ(::unlink(database.constData()), 0);
            ASSERT_EQ(::symlink(foreign.constData(), database.constData()), 0);
            break;
        case Spoil::HugeRow: {
            sqlite3* db = nullptr;
            ASSERT_EQ(sqlite3_open(database.constData(), &db), SQLITE_OK);
            // Unsynced: the row need not outlast a power cut, only this test.
            const int code = sqlite3_exec(db,
                                          "PRAGMA synchronous = OFF; UPDATE tracks SET points = "
                                          "zeroblob(900000000) WHERE rowid = (SELECT min(rowid) "
                                          "FROM tracks)",
                                          nullptr, nullptr, nullptr);
            sqlite3_close(db);
            ASSERT_EQ(code, SQLITE_OK);
            break;
        }
        case Spoil::RewrittenTimeRestored: {
            // Same size, other fixes, the old modification time: the third
            // trip moves between two roads, away from the place and back.
            const QDateTime modified = QFileInfo(thirdTrip).lastModified();
            const qint64 size = QFileInfo(thirdTrip).size();
            QString error;
            ASSERT_TRUE(
                synth::WriteRecording(ThirdTrip(++rewrites % 2 ? 35.2 : 35.1), thirdTrip, &error));
            QFile file(thirdTrip);
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
            file.close();
            ASSERT_EQ(QFileInfo(thirdTrip).size(), size);
            break;
        }
        }
        const ProgramRun truth = Cli(command + QStringList{"--no-cache", card.path()});
        ASSERT_EQ(truth.exitCode, 0) << what;
        const MeasuredRun run = RunMeasured(QStringLiteral(HALVEX_BINARY_DIR "/tools/halvex-cli"),
                                            command + QStringList{card.path()}, env, 30000);
        ASSERT_FALSE(run.timedOut) << what << " did not return";
        EXPECT_EQ(run.exitCode, 0) << what << ": " << run.err.toStdString();
        EXPECT_EQ(run.out, truth.out) << what;
        if (*c.note) {
            EXPECT_TRUE(run.err.contains(c.note)) << what << ": " << run.err.toStdString();
            EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
        } else {
            EXPECT_EQ(run.err, "") << what;
        }
        maxRssKiB = std::max(maxRssKiB, run.maxRssKiB);
    }
    EXPECT_LT(maxRssKiB, 300 * 1024);
    ASSERT_TRUE(foreignFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(foreignFile.readAll(), foreignBytes);
}

INSTANTIATE_TEST_SUITE_P(
    Each, CliIndexCache,
    ::testing::Values(SpoilCase{Spoil::Fifo, "Fifo",
                                "is a FIFO, not a regular file; indexed "
                                "without it."},
                      SpoilCase{Spoil::LinkToForeign, "LinkToForeign", "is a symbolic link"},
                      SpoilCase{Spoil::HugeRow, "HugeRow", "too large"},
                      SpoilCase{Spoil::RewrittenTimeRestored, "RewrittenTimeRestored", ""}),
    [](const ::testing::TestParamInfo<SpoilCase>& info) { return std::string(info.param.name); });

} // namespace
