// halvex-cli trips, events and near, run as a user would on a synthesized card.
#include "tests/cardindex/IndexFixture.h"
#include "tests/support/core/ProgramRun.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

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
        WritePair(Recipe(At(9, 9, 0, 0), StraightFixes(35.1, 139.0, 90, std::vector<int>(20, 54)),
                         QuietSamples(20, 10)),
                  64, true, false);
        env.insert("XDG_CACHE_HOME", cache.path());
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

} // namespace
