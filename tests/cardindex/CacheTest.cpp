// The index's database: reopening reads only what changed, and a database
// that cannot be used never gives a wrong answer nor is written when it is
// not the index's own.
#include "cardindex/IndexCache.h"

#include "tests/cardindex/IndexFixture.h"
#include "tests/support/core/TinyDisk.h"

#include <QFile>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace indextest;

// Runs statements on a database; false with SQLite's message on failure.
::testing::AssertionResult Exec(const QString& database, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(database).constData(), &db);
    char* message = nullptr;
    const int code = sqlite3_exec(db, sql, nullptr, nullptr, &message);
    const std::string text = message ? message : "";
    sqlite3_free(message);
    sqlite3_close(db);
    if (code == SQLITE_OK)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << sql << ": " << text;
}

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

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
    // The first fix of each indexed recording, by file name.
    static std::map<std::string, std::pair<double, double>> Firsts(const CardIndex& index) {
        std::map<std::string, std::pair<double, double>> out;
        for (const IndexedRecording& r : index.Recordings())
            out[r.fileName.toStdString()] =
                r.points.empty()
                    ? std::make_pair(0.0, 0.0)
                    : std::make_pair(r.points.front().latitude, r.points.front().longitude);
        return out;
    }
    std::map<std::string, std::pair<double, double>> Uncached() {
        CardIndex fresh;
        EXPECT_TRUE(Index(&fresh));
        return Firsts(fresh);
    }
    QString Database(const QString& folder) const {
        return IndexCache::DatabasePath(folder, card.Root());
    }
    std::string Name(int k) const { return QFileInfo(paths[size_t(k)]).fileName().toStdString(); }

    std::vector<QString> paths;
    ScratchDir cacheDir;
};

TEST_F(Cache, ReadsOnlyWhatChanged) {
    CardIndex first;
    QString note = "x";
    ASSERT_TRUE(Index(&first, cacheDir.path(), &note));
    EXPECT_EQ(note, "");
    const QString database = Database(cacheDir.path());
    ASSERT_TRUE(QFile::exists(database));

    // Recording 0's row made to hold recording 2's track (whole, so its
    // check holds): what the next index says of recording 0 comes from it.
    const QByteArray copy = "UPDATE tracks SET (gsensor, rules, points, events, jolt_offset, "
                            "jolt_peak, figures, digest) = (SELECT gsensor, rules, points, events, "
                            "jolt_offset, jolt_peak, figures, digest FROM tracks WHERE path = "
                            "CAST('" +
                            paths[2].toUtf8() + "' AS BLOB)) WHERE path = CAST('" +
                            paths[0].toUtf8() + "' AS BLOB)";
    ASSERT_TRUE(Exec(database, copy.constData()));
    CardIndex second;
    ASSERT_TRUE(Index(&second, cacheDir.path(), &note));
    EXPECT_EQ(note, "");
    EXPECT_EQ(Firsts(second).at(Name(0)), Firsts(first).at(Name(2)));

    // Written again with the same size and its modification time set back:
    // the change time tells, and the recording is read again.
    const QDateTime modified = QFileInfo(paths[0]).lastModified();
    const qint64 size = QFileInfo(paths[0]).size();
    Rewrite(0, 0.5);
    QFile file(paths[0]);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
    file.close();
    ASSERT_EQ(QFileInfo(paths[0]).size(), size);
    ASSERT_EQ(QFileInfo(paths[0]).lastModified(), modified);
    CardIndex third;
    ASSERT_TRUE(Index(&third, cacheDir.path(), &note));
    EXPECT_EQ(note, "");
    EXPECT_EQ(Firsts(third), Uncached());
    EXPECT_NEAR(Firsts(third).at(Name(0)).second, 139.5, 1e-6);

    // Changed, removed, added.
    Rewrite(1, 0.25);
    ASSERT_TRUE(QFile::remove(paths[2]));
    WritePair(Drive(3, 0), 58, true, false);
    CardIndex fourth;
    ASSERT_TRUE(Index(&fourth, cacheDir.path(), &note));
    EXPECT_EQ(note, "");
    const auto firsts = Firsts(fourth);
    ASSERT_EQ(firsts.size(), 3u);
    EXPECT_NEAR(firsts.at(Name(1)).second, 139.25, 1e-6);
    EXPECT_EQ(firsts.count(Name(2)), 0u);
    EXPECT_EQ(firsts, Uncached());

    // The removed file's row went with it.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(database).constData(), &db), SQLITE_OK);
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
// Where the damage puts someone else's file in the way, that file is left
// byte for byte as it was.
enum class Damage {
    Garbage,
    DamagedRow,
    OversizedRow,
    OversizedText,
    OlderLayout,
    Locked,
    ReadOnlyDisk,
    FullDisk,
    Folder,
    LinkToForeign,
    ForeignInPlace,
    ForeignTracksTable,
    HardLink,
    LinkedJournal,
};

struct DamageCase {
    Damage damage;
    const char* name;
    const char* note; // a word the one line holds
    bool lasts;       // the damage is not the index's to mend
};

void PrintTo(const DamageCase& c, std::ostream* out) {
    *out << c.name;
}

class DamagedCache : public Cache, public ::testing::WithParamInterface<DamageCase> {
  protected:
    // Another program's database, somewhere else.
    QString ForeignDatabase(const char* schema) {
        const QString path = elsewhere.path() + "/places.sqlite";
        EXPECT_TRUE(Exec(path, schema));
        return path;
    }
    ScratchDir elsewhere;
};

constexpr char kBookmarks[] = "CREATE TABLE bookmarks (url TEXT, title TEXT);"
                              "INSERT INTO bookmarks VALUES ('https://example.org', 'x');"
                              "PRAGMA user_version = 7;";
// A music library's: a table of the same name, no application id.
constexpr char kMusic[] = "CREATE TABLE tracks (path TEXT PRIMARY KEY, title TEXT);"
                          "INSERT INTO tracks VALUES ('/music/a.flac', 'a');";

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
    QString foreign; // a file that must stay as it was
    const QByteArray db = QFile::encodeName(database);
    switch (c.damage) {
    case Damage::Garbage: {
        QFile f(database);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(8192, '\x5a'));
        break;
    }
    case Damage::DamagedRow:
        // Flips bytes inside the stored fixes of every row; SQLite itself
        // cannot see that.
        ASSERT_TRUE(Exec(database, "UPDATE tracks SET points = substr(points, 1, 8) || "
                                   "zeroblob(8) || substr(points, 17)"));
        break;
    case Damage::OversizedRow:
        ASSERT_TRUE(Exec(database, "UPDATE tracks SET points = zeroblob(40000000) WHERE rowid = "
                                   "(SELECT min(rowid) FROM tracks)"));
        break;
    case Damage::OversizedText:
        ASSERT_TRUE(Exec(database, "UPDATE tracks SET rules = CAST(zeroblob(40000000) AS TEXT)"));
        break;
    case Damage::OlderLayout:
        ASSERT_TRUE(Exec(database,
                         "DROP TABLE tracks; CREATE TABLE tracks (path TEXT, x BLOB);"
                         "INSERT INTO tracks VALUES ('a', x'00'); PRAGMA user_version = 4;"
                         "PRAGMA application_id = 0;"));
        break;
    case Damage::Locked:
        sqlite3_open(db.constData(), &holder);
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
    case Damage::Folder:
        ASSERT_TRUE(QFile::remove(database));
        ASSERT_TRUE(QDir().mkdir(database));
        break;
    case Damage::LinkToForeign:
        foreign = ForeignDatabase(kBookmarks);
        ASSERT_TRUE(QFile::remove(database));
        ASSERT_EQ(::symlink(QFile::encodeName(foreign).constData(), db.constData()), 0);
        break;
    case Damage::ForeignInPlace:
    case Damage::ForeignTracksTable:
        ASSERT_TRUE(QFile::remove(database));
        ASSERT_TRUE(QFile::copy(
            ForeignDatabase(c.damage == Damage::ForeignInPlace ? kBookmarks : kMusic), database));
        foreign = database;
        break;
    case Damage::HardLink:
        foreign = elsewhere.path() + "/other-name.sqlite";
        ASSERT_EQ(::link(db.constData(), QFile::encodeName(foreign).constData()), 0);
        break;
    case Damage::LinkedJournal:
        // SQLite would write its journal through the link.
        foreign = ForeignDatabase(kBookmarks);
        ASSERT_EQ(::symlink(QFile::encodeName(foreign).constData(), db + "-journal"), 0);
        break;
    }
    const QByteArray foreignBytes = foreign.isEmpty() ? QByteArray() : Bytes(foreign);

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
    EXPECT_TRUE(note.contains(c.note)) << note.toStdString();
    EXPECT_FALSE(note.contains('\n'));
    if (!foreign.isEmpty()) {
        EXPECT_EQ(Bytes(foreign), foreignBytes);
    }

    // Once the damage is gone, the database serves again; damage that is
    // not the index's to mend is still there, and said again.
    if (c.damage != Damage::Locked && !onDisk) {
        CardIndex again;
        ASSERT_TRUE(Index(&again, folder, &note));
        EXPECT_EQ(note.contains(c.note), c.lasts) << note.toStdString();
        if (!c.lasts) {
            EXPECT_EQ(note, "");
        }
        EXPECT_EQ(Firsts(again), Uncached());
        if (!foreign.isEmpty()) {
            EXPECT_EQ(Bytes(foreign), foreignBytes);
        }
    }
    // A huge row dropped leaves no huge file behind.
    if (c.damage == Damage::OversizedRow || c.damage == Damage::OversizedText) {
        EXPECT_LT(QFileInfo(database).size(), 4 << 20);
    }
}

std::string DamageName(const ::testing::TestParamInfo<DamageCase>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(
    Each, DamagedCache,
    ::testing::Values(
        DamageCase{Damage::Garbage, "Garbage", "damaged", false},
        DamageCase{Damage::DamagedRow, "DamagedRow", "damaged", false},
        DamageCase{Damage::OversizedRow, "OversizedRow", "too large", false},
        DamageCase{Damage::OversizedText, "OversizedText", "too large", false},
        DamageCase{Damage::OlderLayout, "OlderLayout", "older layout", false},
        DamageCase{Damage::Locked, "Locked", "in use", false},
        DamageCase{Damage::ReadOnlyDisk, "ReadOnlyDisk", "read-only", false},
        DamageCase{Damage::FullDisk, "FullDisk", "full", false},
        DamageCase{Damage::Folder, "Folder", "is a folder", true},
        DamageCase{Damage::LinkToForeign, "LinkToForeign", "is a symbolic link", true},
        DamageCase{Damage::ForeignInPlace, "ForeignInPlace", "another program's", true},
        DamageCase{Damage::ForeignTracksTable, "ForeignTracksTable", "another program's", true},
        DamageCase{Damage::HardLink, "HardLink", "hard links", true},
        DamageCase{Damage::LinkedJournal, "LinkedJournal", "-journal that is a symbolic link",
                   true}),
    DamageName);

} // namespace
