// The index's database: reopening reads only what changed, and a database
// that cannot be used never gives a wrong answer.
#include "cardindex/IndexCache.h"

#include "tests/cardindex/IndexFixture.h"
#include "tests/support/core/TinyDisk.h"

#include <QFile>
#include <sqlite3.h>

namespace {

using namespace indextest;

class Cache : public IndexTest {
  protected:
    void SetUp() override {
        for (int k = 0; k < 3; ++k)
            paths.push_back(WritePair(Drive(k, 0), 50 + 2 * k, true, false));
    }
    // Recording k of the card, its track shifted east by `shift` degrees.
    static synth::RecordingRecipe Drive(int k, double shift) {
        return Recipe(At(8, 9, k, 0),
                      StraightFixes(35.0 + k * 0.01, 139.0 + shift, 0, std::vector<int>(10, 30)),
                      QuietSamples(10, 10));
    }
    void Rewrite(int k, double shift) {
        QString error;
        ASSERT_TRUE(synth::WriteRecording(Drive(k, shift), paths[size_t(k)], &error));
    }
    // The first longitude of each indexed recording, by file name.
    static std::map<std::string, double> Firsts(const CardIndex& index) {
        std::map<std::string, double> out;
        for (const IndexedRecording& r : index.Recordings())
            out[r.fileName.toStdString()] = r.points.empty() ? 0 : r.points.front().longitude;
        return out;
    }
    std::map<std::string, double> Uncached() {
        CardIndex fresh;
        EXPECT_TRUE(Index(&fresh));
        return Firsts(fresh);
    }
    QString Database(const QString& folder) const {
        return IndexCache::DatabasePath(folder, card.Root());
    }

    std::vector<QString> paths;
    ScratchDir cacheDir;
};

TEST_F(Cache, ReadsOnlyWhatChanged) {
    CardIndex first;
    QString note = "x";
    ASSERT_TRUE(Index(&first, cacheDir.path(), &note));
    EXPECT_EQ(note, "");
    ASSERT_TRUE(QFile::exists(Database(cacheDir.path())));

    // Same size and time, other bytes: the cached track is what answers.
    const QDateTime modified = QFileInfo(paths[0]).lastModified();
    Rewrite(0, 0.5);
    QFile file(paths[0]);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
    file.close();
    CardIndex second;
    ASSERT_TRUE(Index(&second, cacheDir.path(), &note));
    EXPECT_EQ(note, "");
    EXPECT_EQ(Firsts(second), Firsts(first));

    // Changed, removed, added.
    Rewrite(1, 0.25);
    ASSERT_TRUE(QFile::remove(paths[2]));
    WritePair(Drive(3, 0), 58, true, false);
    CardIndex third;
    ASSERT_TRUE(Index(&third, cacheDir.path(), &note));
    EXPECT_EQ(note, "");
    const auto firsts = Firsts(third);
    ASSERT_EQ(firsts.size(), 3u);
    EXPECT_NEAR(firsts.at(QFileInfo(paths[1]).fileName().toStdString()), 139.25, 1e-6);
    EXPECT_EQ(firsts.count(QFileInfo(paths[2]).fileName().toStdString()), 0u);
    EXPECT_EQ(Firsts(third).size(), Uncached().size());

    // The removed file's row went with it.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(Database(cacheDir.path())).constData(), &db),
              SQLITE_OK);
    sqlite3_stmt* count = nullptr;
    sqlite3_prepare_v2(db, "SELECT count(*) FROM tracks", -1, &count, nullptr);
    ASSERT_EQ(sqlite3_step(count), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(count, 0), 3);
    sqlite3_finalize(count);
    sqlite3_close(db);
}

// The database keeps what the samples showed under the settings of the
// time; other settings read the samples again.
TEST_F(Cache, OtherEventSettingsReadTheSamplesAgain) {
    auto recipe = Drive(4, 0);
    for (int i = 30; i < 36; ++i)
        recipe.gsensor[size_t(i)].y = -10; // 0.625 g for 0.6 s
    WritePair(recipe, 60, true, false);
    const auto brakings = [&](double eventG) {
        CardIndexSettings settings;
        settings.eventG = eventG;
        CardIndex index(settings);
        QString note;
        EXPECT_TRUE(Index(&index, cacheDir.path(), &note));
        EXPECT_EQ(note, "");
        return index.Events().size();
    };
    EXPECT_EQ(brakings(0.4), 1u);
    EXPECT_EQ(brakings(0.7), 0u);
    EXPECT_EQ(brakings(0.4), 1u);
}

TEST_F(Cache, CancelledBuildLeavesTheIndexEmpty) {
    RecordingCatalog catalog;
    catalog.Open(card.path());
    CardIndex index;
    std::vector<std::pair<int, int>> calls;
    EXPECT_FALSE(index.Build(
        catalog.Files(), cacheDir.path(),
        [&](int done, int total) {
            calls.push_back({done, total});
            return done < 2;
        },
        nullptr));
    EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}}));
    EXPECT_TRUE(index.Recordings().empty());
    EXPECT_TRUE(index.Trips().empty());
}

// Each damage is done after a first build; then recording 1 changes, so
// only a cache that is read correctly or not at all gives the right answer.
enum class Damage { Garbage, DamagedRow, OlderLayout, Locked, ReadOnlyDisk, FullDisk };

struct DamageCase {
    Damage damage;
    const char* note; // a word the one line holds; "" for none
};

void PrintTo(const DamageCase& c, std::ostream* out) {
    *out << "damage " << int(c.damage);
}

class DamagedCache : public Cache, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedCache, NeverAWrongAnswer) {
    const DamageCase c = GetParam();
    TinyDisk disk;
    const bool onDisk = c.damage == Damage::ReadOnlyDisk || c.damage == Damage::FullDisk;
    if (onDisk)
        SKIP_UNLESS_MOUNTED(disk);
    const QString folder = onDisk ? disk.path() : cacheDir.path();
    const QString database = Database(folder);
    {
        CardIndex first;
        ASSERT_TRUE(Index(&first, folder));
    }
    Rewrite(1, 0.25);

    sqlite3* holder = nullptr;
    switch (c.damage) {
    case Damage::Garbage: {
        QFile f(database);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(8192, '\x5a'));
        break;
    }
    case Damage::DamagedRow: {
        // Flips bytes inside the stored fixes of every row; SQLite itself
        // cannot see that.
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(database).constData(), &db);
        ASSERT_EQ(sqlite3_exec(db,
                               "UPDATE tracks SET points = substr(points, 1, 8) || "
                               "zeroblob(8) || substr(points, 17)",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
        break;
    }
    case Damage::OlderLayout: {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(database).constData(), &db);
        ASSERT_EQ(sqlite3_exec(db,
                               "DROP TABLE tracks; CREATE TABLE tracks (path TEXT, x BLOB);"
                               "INSERT INTO tracks VALUES ('a', x'00'); PRAGMA user_version = 1;",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
        break;
    }
    case Damage::Locked:
        sqlite3_open(QFile::encodeName(database).constData(), &holder);
        ASSERT_EQ(
            sqlite3_exec(holder, "BEGIN EXCLUSIVE; DELETE FROM tracks;", nullptr, nullptr, nullptr),
            SQLITE_OK);
        break;
    case Damage::ReadOnlyDisk:
        ASSERT_TRUE(disk.Remount(true));
        break;
    case Damage::FullDisk:
        disk.Fill();
        break;
    }

    CardIndex index;
    QString note;
    ASSERT_TRUE(Index(&index, folder, &note));
    if (holder) {
        sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(holder);
    }
    if (onDisk)
        disk.Remount(false);
    EXPECT_EQ(Firsts(index), Uncached());
    if (*c.note) {
        EXPECT_TRUE(note.contains(c.note)) << note.toStdString();
    }
    EXPECT_FALSE(note.contains('\n'));

    // Once the damage is gone, the database serves again.
    if (c.damage != Damage::Locked && !onDisk) {
        CardIndex again;
        ASSERT_TRUE(Index(&again, folder, &note));
        EXPECT_EQ(note, "");
        EXPECT_EQ(Firsts(again), Uncached());
    }
}

std::string DamageName(const ::testing::TestParamInfo<DamageCase>& info) {
    const char* names[] = {"Garbage", "DamagedRow",   "OlderLayout",
                           "Locked",  "ReadOnlyDisk", "FullDisk"};
    return names[int(info.param.damage)];
}

INSTANTIATE_TEST_SUITE_P(Each, DamagedCache,
                         ::testing::Values(DamageCase{Damage::Garbage, "damaged"},
                                           DamageCase{Damage::DamagedRow, "damaged"},
                                           DamageCase{Damage::OlderLayout, "older layout"},
                                           DamageCase{Damage::Locked, "in use"},
                                           DamageCase{Damage::ReadOnlyDisk, "read-only"},
                                           DamageCase{Damage::FullDisk, "full"}),
                         DamageName);

} // namespace
