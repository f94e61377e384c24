#include "cardindex/IndexCache.h"

#include "cardindex/CacheFileGuard.h"
#include "cardindex/TrackBlobs.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cstdio>
#include <sqlite3.h>

namespace {

// Waiting longer for another program's lock would delay the index more
// than reading the recordings again.
constexpr int kBusyWaitMs = 300;
// Free pages left by dropped rows are given back above this.
constexpr int64_t kFreeBytesKept = 8 << 20;

// A check over a row's blobs: SQLite notices a damaged page, not a
// damaged value inside one.
QByteArray Digest(const CachedTrack& t, const QByteArray& points, const QByteArray& events) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(points);
    hash.addData(events);
    hash.addData(FiguresBlob(t.figures));
    hash.addData(QByteArray::number(t.joltOffsetMs) + ' ' +
                 QByteArray::number(t.joltPeak, 'g', 17) + (t.hasGSensor ? " g " : " - ") +
                 t.rules.toUtf8());
    return hash.result();
}

QByteArray Blob(sqlite3_stmt* statement, int column) {
    const void* data = sqlite3_column_blob(statement, column);
    const int bytes = sqlite3_column_bytes(statement, column);
    return data ? QByteArray(static_cast<const char*>(data), bytes) : QByteArray();
}

// Paths and rules are kept as blobs too, so that the size of every value
// of a row is known without reading it (SQLite counts a text's characters).
QString Schema(const QString& database) {
    return QStringLiteral("CREATE TABLE IF NOT EXISTS %1.tracks (path BLOB PRIMARY KEY,"
                          " size INTEGER, modified INTEGER, changed INTEGER, inode INTEGER,"
                          " gsensor INTEGER, rules BLOB, points BLOB, events BLOB,"
                          " jolt_offset INTEGER, jolt_peak REAL, figures BLOB, digest BLOB);"
                          " PRAGMA %1.application_id = %2; PRAGMA %1.user_version = %3;")
        .arg(database)
        .arg(IndexCache::kApplicationId)
        .arg(IndexCache::kLayout);
}

// True for a row of the expected types whose values together stay within
// the bound; typeof() and length() of a blob read only the row's header.
QByteArray RowFits() {
    return QByteArrayLiteral(
               "CASE WHEN typeof(path) = 'blob' AND typeof(rules) = 'blob' AND "
               "typeof(points) = 'blob' AND typeof(events) = 'blob' AND typeof(figures) = 'blob' "
               "AND typeof(digest) = 'blob' AND typeof(size) = 'integer' AND "
               "typeof(modified) = 'integer' AND typeof(changed) = 'integer' AND "
               "typeof(inode) = 'integer' AND typeof(gsensor) = 'integer' AND "
               "typeof(jolt_offset) = 'integer' AND typeof(jolt_peak) IN ('real', 'integer') "
               "THEN length(path) + length(rules) + length(points) + length(events) + "
               "length(figures) + length(digest) <= ") +
           QByteArray::number(qlonglong(IndexCache::kMaxRowBytes)) + " ELSE 0 END";
}

bool IsBusy(int code) {
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

// One number of a query of one row; false with the code in *code.
bool QueryInt(sqlite3* db, const char* sql, int64_t* value, int* code) {
    sqlite3_stmt* statement = nullptr;
    *code = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    if (*code == SQLITE_OK) {
        *code = sqlite3_step(statement);
        if (*code == SQLITE_ROW) {
            *value = sqlite3_column_int64(statement, 0);
            *code = SQLITE_OK;
        }
    }
    sqlite3_finalize(statement);
    return *code == SQLITE_OK;
}

enum class Owner { Ours, OursToRenew, Foreign };

// This program's database carries its application id; an older layout of
// it (or a new empty file) has none and holds nothing but its own table.
Owner OwnerOf(int64_t applicationId, int64_t layout, int64_t otherTables, int64_t ourTables,
              int64_t pathColumns) {
    if (applicationId == IndexCache::kApplicationId)
        return layout == IndexCache::kLayout ? Owner::Ours : Owner::OursToRenew;
    if (applicationId != 0 || otherTables > 0)
        return Owner::Foreign;
    if (ourTables == 0)
        return layout == 0 ? Owner::OursToRenew : Owner::Foreign;
    return layout > 0 && layout < IndexCache::kLayout && pathColumns == 1 ? Owner::OursToRenew
                                                                          : Owner::Foreign;
}

} // namespace

IndexCache::~IndexCache() {
    Close();
}

void IndexCache::Close() {
    if (db_)
        sqlite3_close(db_);
    db_ = nullptr;
}

QString IndexCache::DatabasePath(const QString& cacheFolder, const QString& cardRoot) {
    QString root = QDir::cleanPath(QFileInfo(cardRoot).absoluteFilePath());
    const QByteArray key = QCryptographicHash::hash(root.toUtf8(), QCryptographicHash::Sha1);
    return QDir(cacheFolder)
        .filePath("card-" + QString::fromLatin1(key.toHex().left(20)) + ".sqlite");
}

bool IndexCache::Open(const QString& databasePath, QString* note) {
    Close();
    rows_.clear();
    puts_.clear();
    stale_.clear();
    path_ = databasePath;
    readOnly_ = false;
    QDir().mkpath(QFileInfo(databasePath).path());
    if (Prepare(note))
        return true;
    Close();
    rows_.clear();
    stale_.clear();
    return false;
}

bool IndexCache::Prepare(QString* note) {
    const auto refuse = [&](const QString& why) {
        *note = QStringLiteral("Card index cache %1 %2; indexed without it.").arg(path_, why);
        return false;
    };
    CacheFileGuard guard;
    if (const QString why = guard.Before(path_); !why.isEmpty())
        return refuse(why);
    const QByteArray name = QFile::encodeName(path_);
    int code =
        sqlite3_open_v2(name.constData(), &db_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW, nullptr);
    if (code != SQLITE_OK) {
        // A read-only folder without a database yet, or one SQLite only reads.
        Close();
        code = sqlite3_open_v2(name.constData(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOFOLLOW,
                               nullptr);
        if (code != SQLITE_OK) {
            *note = QStringLiteral("Card index cache cannot be opened (%1); indexed without it.")
                        .arg(QString::fromUtf8(sqlite3_errstr(code)));
            return false;
        }
    }
    if (const QString why = guard.After(path_); !why.isEmpty())
        return refuse(why);
    sqlite3_busy_timeout(db_, kBusyWaitMs);
    readOnly_ = sqlite3_db_readonly(db_, "main") == 1;

    int64_t applicationId = 0, layout = 0, otherTables = 0, ourTables = 0, pathColumns = 0;
    if (QueryInt(db_, "PRAGMA application_id", &applicationId, &code))
        QueryInt(db_, "PRAGMA user_version", &layout, &code);
    if (code == SQLITE_OK)
        QueryInt(db_,
                 "SELECT count(*) FROM sqlite_master WHERE name NOT IN "
                 "('tracks', 'sqlite_autoindex_tracks_1')",
                 &otherTables, &code);
    if (code == SQLITE_OK)
        QueryInt(db_, "SELECT count(*) FROM sqlite_master WHERE name = 'tracks'", &ourTables,
                 &code);
    if (code == SQLITE_OK && ourTables > 0)
        QueryInt(db_, "SELECT count(*) FROM pragma_table_info('tracks') WHERE name = 'path'",
                 &pathColumns, &code);
    if (IsBusy(code)) {
        *note =
            QStringLiteral("Card index cache is in use by another program; indexed without it.");
        return false;
    }
    if (code != SQLITE_OK) {
        if (readOnly_) {
            *note =
                QStringLiteral("Card index cache is damaged and read-only; indexed without it.");
            return false;
        }
        // Our own name, a plain file: a damaged one is replaced whole.
        Close();
        QFile::remove(path_);
        QFile::remove(path_ + "-journal");
        QString again;
        if (!Prepare(&again)) {
            *note = again;
            return false;
        }
        *note = QStringLiteral("Card index cache was damaged; it was rebuilt.");
        return true;
    }

    const Owner owner = OwnerOf(applicationId, layout, otherTables, ourTables, pathColumns);
    if (owner == Owner::Foreign)
        return refuse(QStringLiteral("holds another program's database"));
    if (owner == Owner::OursToRenew) {
        if (readOnly_) {
            *note = QStringLiteral("Card index cache is of an older layout and read-only; indexed "
                                   "without it.");
            return false;
        }
        const QString renew =
            QStringLiteral("BEGIN IMMEDIATE; DROP TABLE IF EXISTS tracks; %1 COMMIT;")
                .arg(Schema("main"));
        code = sqlite3_exec(db_, renew.toUtf8().constData(), nullptr, nullptr, nullptr);
        if (code != SQLITE_OK) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            *note = IsBusy(code) ? QStringLiteral("Card index cache is in use by another program; "
                                                  "indexed without it.")
                                 : QStringLiteral("Card index cache cannot be written (%1); "
                                                  "indexed without it.")
                                       .arg(QString::fromUtf8(sqlite3_errstr(code)));
            return false;
        }
        if (ourTables > 0)
            *note = QStringLiteral("Card index cache was of an older layout; it was rebuilt.");
        return true;
    }
    return ReadRows(note);
}

// The rows that fit, copied into a new file that then takes the
// database's place: dropping a huge row in place would walk every page of
// it. False when that could not be done.
bool IndexCache::KeepOnlyWhatFits() {
    QTemporaryFile fresh(path_ + ".XXXXXX");
    if (!fresh.open())
        return false;
    fresh.close();
    sqlite3_stmt* attach = nullptr;
    const QByteArray name = QFile::encodeName(fresh.fileName());
    int code = sqlite3_prepare_v2(db_, "ATTACH DATABASE ? AS fresh", -1, &attach, nullptr);
    if (code == SQLITE_OK) {
        sqlite3_bind_text(attach, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        code = sqlite3_step(attach) == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(db_);
    }
    sqlite3_finalize(attach);
    if (code != SQLITE_OK)
        return false;
    const QByteArray copy = "BEGIN; " + Schema("fresh").toUtf8() +
                            " INSERT INTO fresh.tracks SELECT * FROM main.tracks WHERE " +
                            RowFits() + "; COMMIT;";
    code = sqlite3_exec(db_, copy.constData(), nullptr, nullptr, nullptr);
    if (code != SQLITE_OK)
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_exec(db_, "DETACH DATABASE fresh", nullptr, nullptr, nullptr);
    if (code != SQLITE_OK)
        return false;
    Close();
    if (::rename(name.constData(), QFile::encodeName(path_).constData()) != 0)
        return false;
    fresh.setAutoRemove(false);
    return true;
}

bool IndexCache::ReadRows(QString* note) {
    const QByteArray fits = RowFits();
    // What cannot be ours or would cost too much memory is never read; its
    // recording is read again.
    int64_t unfit = 0;
    int code = SQLITE_OK;
    const QByteArray countUnfit = "SELECT count(*) FROM tracks WHERE NOT (" + fits + ")";
    QueryInt(db_, countUnfit.constData(), &unfit, &code);
    if (code == SQLITE_OK && unfit > 0 && !readOnly_) {
        if (!KeepOnlyWhatFits()) {
            *note = QStringLiteral("Card index cache holds damaged or too large entries and cannot "
                                   "be renewed; indexed without it.");
            return false;
        }
        QString again;
        if (!Prepare(&again)) {
            *note = again;
            return false;
        }
        *note = QStringLiteral("Card index cache held damaged or too large entries; they were "
                               "dropped unread, and their recordings read again.");
        return true;
    }

    sqlite3_stmt* rows = nullptr;
    const QByteArray select = "SELECT rowid, path, size, modified, changed, inode, gsensor, rules,"
                              " points, events, jolt_offset, jolt_peak, figures, digest FROM tracks"
                              " WHERE " +
                              fits;
    if (code == SQLITE_OK)
        code = sqlite3_prepare_v2(db_, select.constData(), -1, &rows, nullptr);
    while (code == SQLITE_OK && (code = sqlite3_step(rows)) == SQLITE_ROW) {
        code = SQLITE_OK;
        const QString path = QString::fromUtf8(Blob(rows, 1));
        CachedTrack track;
        track.stamp.size = sqlite3_column_int64(rows, 2);
        track.stamp.modifiedNs = sqlite3_column_int64(rows, 3);
        track.stamp.changedNs = sqlite3_column_int64(rows, 4);
        track.stamp.inode = uint64_t(sqlite3_column_int64(rows, 5));
        track.hasGSensor = sqlite3_column_int(rows, 6) != 0;
        track.rules = QString::fromUtf8(Blob(rows, 7));
        const QByteArray points = Blob(rows, 8);
        const QByteArray events = Blob(rows, 9);
        track.joltOffsetMs = uint32_t(sqlite3_column_int64(rows, 10));
        track.joltPeak = sqlite3_column_double(rows, 11);
        if (!ReadFigures(Blob(rows, 12), &track.figures) ||
            Blob(rows, 13) != Digest(track, points, events) || !ReadPoints(points, &track.points) ||
            !ReadEvents(events, &track.events)) {
            stale_.push_back(sqlite3_column_int64(rows, 0)); // that recording is read again
            continue;
        }
        rows_.insert(path, std::move(track));
    }
    sqlite3_finalize(rows);
    if (code != SQLITE_DONE && code != SQLITE_OK) {
        rows_.clear();
        stale_.clear();
        if (IsBusy(code)) {
            *note = QStringLiteral("Card index cache is in use by another program; indexed "
                                   "without it.");
            return false;
        }
        if (!readOnly_) {
            Close();
            QFile::remove(path_);
            QString again;
            if (Prepare(&again)) {
                *note = QStringLiteral("Card index cache was damaged; it was rebuilt.");
                return true;
            }
        }
        *note = QStringLiteral("Card index cache is damaged; indexed without it.");
        return false;
    }
    if (readOnly_)
        *note = QStringLiteral("Card index cache is read-only; changed recordings are read but not "
                               "kept.");
    else if (!stale_.empty())
        *note = QStringLiteral("Card index cache held damaged entries; they were read again.");
    return true;
}

bool IndexCache::Find(const QString& path, const FileStamp& stamp, const QString& rules,
                      CachedTrack* out) const {
    auto found = rows_.constFind(path);
    if (found == rows_.constEnd() || found->stamp != stamp || found->rules != rules)
        return false;
    *out = *found;
    return true;
}

void IndexCache::Put(const QString& path, CachedTrack track) {
    puts_.insert(path, std::move(track));
}

// After a commit that dropped rows: a huge row dropped leaves its pages
// free inside the file, which is then written anew without them.
bool IndexCache::GiveBackFreePages() {
    int code = SQLITE_OK;
    int64_t freePages = 0, pageBytes = 0;
    if (QueryInt(db_, "PRAGMA freelist_count", &freePages, &code) &&
        QueryInt(db_, "PRAGMA page_size", &pageBytes, &code) &&
        freePages * pageBytes > kFreeBytesKept)
        code = sqlite3_exec(db_, "VACUUM", nullptr, nullptr, nullptr);
    return code == SQLITE_OK;
}

bool IndexCache::Save(const QHash<QString, bool>& present, bool removeOthers, QString* note) {
    if (!db_ || readOnly_)
        return false;
    std::vector<QString> gone;
    if (removeOthers)
        for (auto it = rows_.constBegin(); it != rows_.constEnd(); ++it)
            if (!present.contains(it.key()))
                gone.push_back(it.key());
    if (puts_.isEmpty() && gone.empty() && stale_.empty())
        return true;

    int code = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_stmt* remove = nullptr;
    sqlite3_stmt* dropRow = nullptr;
    if (code == SQLITE_OK)
        code = sqlite3_prepare_v2(
            db_, "INSERT OR REPLACE INTO tracks VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)", -1,
            &insert, nullptr);
    if (code == SQLITE_OK)
        code = sqlite3_prepare_v2(db_, "DELETE FROM tracks WHERE path = ?", -1, &remove, nullptr);
    if (code == SQLITE_OK)
        code = sqlite3_prepare_v2(db_, "DELETE FROM tracks WHERE rowid = ?", -1, &dropRow, nullptr);
    // The rows not read go first, so no new row is taken for one of them.
    for (const int64_t rowid : stale_) {
        if (code != SQLITE_OK)
            break;
        sqlite3_bind_int64(dropRow, 1, rowid);
        code = sqlite3_step(dropRow) == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(db_);
        sqlite3_reset(dropRow);
    }
    for (const QString& path : gone) {
        if (code != SQLITE_OK)
            break;
        const QByteArray key = path.toUtf8();
        sqlite3_bind_blob(remove, 1, key.constData(), int(key.size()), SQLITE_TRANSIENT);
        code = sqlite3_step(remove) == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(db_);
        sqlite3_reset(remove);
    }
    for (auto it = puts_.constBegin(); code == SQLITE_OK && it != puts_.constEnd(); ++it) {
        const QByteArray key = it.key().toUtf8();
        const QByteArray points = PointBlob(it->points);
        const QByteArray events = EventBlob(it->events);
        const QByteArray digest = Digest(*it, points, events);
        const QByteArray rules = it->rules.toUtf8();
        const QByteArray figures = FiguresBlob(it->figures);
        sqlite3_bind_blob(insert, 1, key.constData(), int(key.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(insert, 2, it->stamp.size);
        sqlite3_bind_int64(insert, 3, it->stamp.modifiedNs);
        sqlite3_bind_int64(insert, 4, it->stamp.changedNs);
        sqlite3_bind_int64(insert, 5, int64_t(it->stamp.inode));
        sqlite3_bind_int(insert, 6, it->hasGSensor ? 1 : 0);
        sqlite3_bind_blob(insert, 7, rules.constData(), int(rules.size()), SQLITE_TRANSIENT);
        sqlite3_bind_blob(insert, 8, points.constData(), int(points.size()), SQLITE_TRANSIENT);
        sqlite3_bind_blob(insert, 9, events.constData(), int(events.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(insert, 10, it->joltOffsetMs);
        sqlite3_bind_double(insert, 11, it->joltPeak);
        sqlite3_bind_blob(insert, 12, figures.constData(), int(figures.size()), SQLITE_TRANSIENT);
        sqlite3_bind_blob(insert, 13, digest.constData(), int(digest.size()), SQLITE_TRANSIENT);
        code = sqlite3_step(insert) == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(db_);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_finalize(remove);
    sqlite3_finalize(dropRow);
    if (code == SQLITE_OK)
        code = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    if (code == SQLITE_OK) {
        puts_.clear();
        const bool dropped = !stale_.empty() || !gone.empty();
        stale_.clear();
        if (dropped)
            GiveBackFreePages();
        return true;
    }
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    if (IsBusy(code))
        *note =
            QStringLiteral("Card index cache is in use by another program; it was not updated.");
    else if (code == SQLITE_FULL)
        *note = QStringLiteral("Card index cache cannot grow, the disk is full; it was not "
                               "updated.");
    else
        *note = QStringLiteral("Card index cache cannot be written (%1); it was not updated.")
                    .arg(QString::fromUtf8(sqlite3_errstr(code)));
    return false;
}
