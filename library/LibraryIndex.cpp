#include "library/LibraryIndex.h"

#include "cardindex/CacheFileGuard.h"
#include "library/LibraryLayout.h"

#include <QDateTime>
#include <QFile>
#include <sqlite3.h>
#include <sys/vfs.h>

namespace {

// "HXLB": tells the library's index from any other SQLite file.
constexpr int kApplicationId = 0x48584c42;
constexpr int kBusyWaitMs = 5000;

const char kSchema[] =
    "CREATE TABLE IF NOT EXISTS files (path TEXT PRIMARY KEY, sha256 BLOB NOT NULL,"
    " size INTEGER NOT NULL, quick BLOB NOT NULL, modified_ns INTEGER NOT NULL,"
    " locked INTEGER NOT NULL, start_ms INTEGER NOT NULL, kept_ms INTEGER NOT NULL);"
    "CREATE INDEX IF NOT EXISTS files_content ON files(size, quick);"
    "CREATE TABLE IF NOT EXISTS sources (name TEXT NOT NULL, size INTEGER NOT NULL,"
    " modified_ns INTEGER NOT NULL, quick BLOB NOT NULL, sha256 BLOB NOT NULL,"
    " PRIMARY KEY (name, size, modified_ns, quick));";

const char kColumns[] =
    "SELECT path, sha256, size, quick, modified_ns, locked, start_ms FROM files";

QByteArray Blob(sqlite3_stmt* statement, int column) {
    const void* data = sqlite3_column_blob(statement, column);
    return data
               ? QByteArray(static_cast<const char*>(data), sqlite3_column_bytes(statement, column))
               : QByteArray();
}

bool SharesMemoryMaps(const QString& folder) {
    struct statfs fs {};
    if (::statfs(QFile::encodeName(folder).constData(), &fs) != 0)
        return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0xEF53:     // ext2, ext3, ext4
    case 0x58465342: // XFS
    case 0x9123683E: // Btrfs
    case 0x01021994: // tmpfs
    case 0xF2F52010: // F2FS
        return true;
    default:
        return false;
    }
}

QString Message(sqlite3* db) {
    return QString::fromUtf8(sqlite3_errmsg(db));
}

} // namespace

LibraryIndex::~LibraryIndex() {
    if (db_)
        sqlite3_close(db_);
}

bool LibraryIndex::Exec(const char* sql, QString* error) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    *error = QString::fromUtf8(message ? message : "unknown error");
    sqlite3_free(message);
    return false;
}

bool LibraryIndex::Open(const QString& library, bool create, QString* error) {
    const QString path = LibraryLayout::IndexPath(library);
    CacheFileGuard guard;
    if (const QString wrong = guard.Before(path); !wrong.isEmpty()) {
        *error = path + " " + wrong;
        return false;
    }
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) |
                      SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_FULLMUTEX;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, flags, nullptr) != SQLITE_OK) {
        *error = path + ": " + (db_ ? Message(db_) : QStringLiteral("cannot open"));
        return false;
    }
    if (const QString wrong = guard.After(path); !wrong.isEmpty()) {
        *error = path + " " + wrong;
        return false;
    }
    sqlite3_busy_timeout(db_, kBusyWaitMs);
    sqlite3_stmt* statement = nullptr;
    int id = 0;
    if (sqlite3_prepare_v2(db_, "PRAGMA application_id", -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        id = sqlite3_column_int(statement, 0);
    sqlite3_finalize(statement);
    if (id != 0 && id != kApplicationId) {
        *error = path + " is another program's database";
        return false;
    }
    // A row is written once its file is synced and named. A row lost with
    // the power costs only a copy made again (the file is then found
    // under its name and taken by its hash), so commits need not wait for
    // the disk; the write-ahead log keeps the database whole meanwhile.
    // The log needs memory shared through a file, which FUSE, FAT and network
    // file systems do not give: there every write would fail.
    if (SharesMemoryMaps(library))
        Exec("PRAGMA journal_mode = WAL", error);
    return Exec(kSchema, error) &&
           Exec(QByteArray("PRAGMA application_id = " + QByteArray::number(kApplicationId))
                    .constData(),
                error) &&
           Exec("PRAGMA synchronous = NORMAL", error);
}

std::vector<KeptFile> LibraryIndex::Select(const char* where, const std::vector<QByteArray>& texts,
                                           const std::vector<int64_t>& numbers) {
    std::vector<KeptFile> found;
    sqlite3_stmt* statement = nullptr;
    const QByteArray sql = QByteArray(kColumns) + where;
    if (sqlite3_prepare_v2(db_, sql.constData(), -1, &statement, nullptr) != SQLITE_OK)
        return found;
    int column = 1;
    for (const QByteArray& blob : texts)
        sqlite3_bind_blob(statement, column++, blob.constData(), int(blob.size()),
                          SQLITE_TRANSIENT);
    for (int64_t n : numbers)
        sqlite3_bind_int64(statement, column++, n);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        KeptFile f;
        f.path =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
        f.sha256 = Blob(statement, 1);
        f.size = sqlite3_column_int64(statement, 2);
        f.quick = Blob(statement, 3);
        f.modifiedNs = sqlite3_column_int64(statement, 4);
        f.locked = sqlite3_column_int(statement, 5) != 0;
        f.startUtcMs = sqlite3_column_int64(statement, 6);
        found.push_back(std::move(f));
    }
    sqlite3_finalize(statement);
    return found;
}

std::optional<KeptFile> LibraryIndex::FindSource(const SourceKey& key) {
    std::vector<KeptFile> found =
        Select(" WHERE sha256 = (SELECT sha256 FROM sources WHERE name = CAST(?1 AS TEXT)"
               " AND quick = ?2 AND size = ?3 AND modified_ns = ?4) LIMIT 1",
               {key.name.toUtf8(), key.quick}, {key.size, key.modifiedNs});
    if (found.empty())
        return std::nullopt;
    return found.front();
}

std::vector<KeptFile> LibraryIndex::FindContent(int64_t size, const QByteArray& quick) {
    return Select(" WHERE quick = ?1 AND size = ?2", {quick}, {size});
}

std::optional<KeptFile> LibraryIndex::FindPath(const QString& path) {
    std::vector<KeptFile> found = Select(" WHERE path = CAST(?1 AS TEXT)", {path.toUtf8()}, {});
    if (found.empty())
        return std::nullopt;
    return found.front();
}

bool LibraryIndex::RemoveFile(const QString& path, QString* error) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, "DELETE FROM files WHERE path = ?1", -1, &statement, nullptr) !=
        SQLITE_OK) {
        *error = Message(db_);
        return false;
    }
    const QByteArray text = path.toUtf8();
    sqlite3_bind_text(statement, 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    const bool done = sqlite3_step(statement) == SQLITE_DONE;
    if (!done)
        *error = Message(db_);
    sqlite3_finalize(statement);
    return done;
}

bool LibraryIndex::AddFile(const KeptFile& file, QString* error) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_,
                           "INSERT OR REPLACE INTO files (path, sha256, size, quick, modified_ns,"
                           " locked, start_ms, kept_ms) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)",
                           -1, &statement, nullptr) != SQLITE_OK) {
        *error = Message(db_);
        return false;
    }
    const QByteArray path = file.path.toUtf8();
    sqlite3_bind_text(statement, 1, path.constData(), int(path.size()), SQLITE_TRANSIENT);
    sqlite3_bind_blob(statement, 2, file.sha256.constData(), int(file.sha256.size()),
                      SQLITE_TRANSIENT);
    sqlite3_bind_int64(statement, 3, file.size);
    sqlite3_bind_blob(statement, 4, file.quick.constData(), int(file.quick.size()),
                      SQLITE_TRANSIENT);
    sqlite3_bind_int64(statement, 5, file.modifiedNs);
    sqlite3_bind_int(statement, 6, file.locked ? 1 : 0);
    sqlite3_bind_int64(statement, 7, file.startUtcMs);
    sqlite3_bind_int64(statement, 8, QDateTime::currentMSecsSinceEpoch());
    const bool done = sqlite3_step(statement) == SQLITE_DONE;
    if (!done)
        *error = Message(db_);
    sqlite3_finalize(statement);
    return done;
}

bool LibraryIndex::AddSource(const SourceKey& key, const QByteArray& sha256, QString* error) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_,
                           "INSERT OR REPLACE INTO sources (name, size, modified_ns, quick, sha256)"
                           " VALUES (?1, ?2, ?3, ?4, ?5)",
                           -1, &statement, nullptr) != SQLITE_OK) {
        *error = Message(db_);
        return false;
    }
    const QByteArray name = key.name.toUtf8();
    sqlite3_bind_text(statement, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(statement, 2, key.size);
    sqlite3_bind_int64(statement, 3, key.modifiedNs);
    sqlite3_bind_blob(statement, 4, key.quick.constData(), int(key.quick.size()), SQLITE_TRANSIENT);
    sqlite3_bind_blob(statement, 5, sha256.constData(), int(sha256.size()), SQLITE_TRANSIENT);
    const bool done = sqlite3_step(statement) == SQLITE_DONE;
    if (!done)
        *error = Message(db_);
    sqlite3_finalize(statement);
    return done;
}

std::vector<KeptFile> LibraryIndex::Files() {
    return Select(" ORDER BY path", {}, {});
}
