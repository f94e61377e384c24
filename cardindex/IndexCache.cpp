#include "cardindex/IndexCache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <sqlite3.h>

namespace {

// Waiting longer for another program's lock would delay the index more
// than reading the recordings again.
constexpr int kBusyWaitMs = 300;

// Fixed-size little-endian records, so a blob's length tells its count.
constexpr int kPointBytes = 8 + 8 + 4 + 4 + 8 + 4;
constexpr int kEventBytes = 1 + 4 + 8 + 1 + 8 + 8 + 8;

template <typename T> void Append(QByteArray* out, T value) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    out->append(bytes, sizeof(T));
}

template <typename T> T Take(const char*& at) {
    T value;
    std::memcpy(&value, at, sizeof(T));
    at += sizeof(T);
    return value;
}

QByteArray PointBlob(const std::vector<IndexedPoint>& points) {
    QByteArray out;
    out.reserve(int(points.size()) * kPointBytes);
    for (const IndexedPoint& p : points) {
        Append(&out, p.latitude);
        Append(&out, p.longitude);
        Append(&out, p.speedKmh);
        Append(&out, p.headingDegrees);
        Append(&out, p.utcMs);
        Append(&out, p.offsetMs);
    }
    return out;
}

QByteArray EventBlob(const std::vector<DrivingEvent>& events) {
    QByteArray out;
    out.reserve(int(events.size()) * kEventBytes);
    for (const DrivingEvent& e : events) {
        Append(&out, uint8_t(e.kind));
        Append(&out, e.offsetMs);
        Append(&out, e.utcMs);
        Append(&out, uint8_t(e.hasPosition ? 1 : 0));
        Append(&out, e.latitude);
        Append(&out, e.longitude);
        Append(&out, e.peak);
    }
    return out;
}

// A check over a row's blobs: SQLite notices a damaged page, not a
// damaged value inside one.
QByteArray FiguresBlob(const TrackFigures& f) {
    QByteArray out;
    Append(&out, f.distanceM);
    Append(&out, f.movingM);
    Append(&out, f.movingMs);
    Append(&out, f.maxKmh);
    return out;
}

bool ReadFigures(const QByteArray& blob, TrackFigures* f) {
    if (blob.size() != 32)
        return false;
    const char* at = blob.constData();
    f->distanceM = Take<double>(at);
    f->movingM = Take<double>(at);
    f->movingMs = Take<int64_t>(at);
    f->maxKmh = Take<double>(at);
    return true;
}

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

bool ReadPoints(const void* data, int bytes, std::vector<IndexedPoint>* out) {
    if (bytes < 0 || bytes % kPointBytes != 0)
        return false;
    const char* at = static_cast<const char*>(data);
    out->resize(size_t(bytes / kPointBytes));
    for (IndexedPoint& p : *out) {
        p.latitude = Take<double>(at);
        p.longitude = Take<double>(at);
        p.speedKmh = Take<float>(at);
        p.headingDegrees = Take<float>(at);
        p.utcMs = Take<int64_t>(at);
        p.offsetMs = Take<uint32_t>(at);
    }
    return true;
}

bool ReadEvents(const void* data, int bytes, std::vector<DrivingEvent>* out) {
    if (bytes < 0 || bytes % kEventBytes != 0)
        return false;
    const char* at = static_cast<const char*>(data);
    out->resize(size_t(bytes / kEventBytes));
    for (DrivingEvent& e : *out) {
        const uint8_t kind = Take<uint8_t>(at);
        if (kind > uint8_t(DrivingEventKind::CameraEvent))
            return false;
        e.kind = DrivingEventKind(kind);
        e.offsetMs = Take<uint32_t>(at);
        e.utcMs = Take<int64_t>(at);
        e.hasPosition = Take<uint8_t>(at) != 0;
        e.latitude = Take<double>(at);
        e.longitude = Take<double>(at);
        e.peak = Take<double>(at);
    }
    return true;
}

QByteArray Blob(sqlite3_stmt* statement, int column) {
    const void* data = sqlite3_column_blob(statement, column);
    const int bytes = sqlite3_column_bytes(statement, column);
    return data ? QByteArray(static_cast<const char*>(data), bytes) : QByteArray();
}

const char kSchema[] = "CREATE TABLE IF NOT EXISTS tracks (path TEXT PRIMARY KEY, size INTEGER,"
                       " modified INTEGER, gsensor INTEGER, rules TEXT, points BLOB, events BLOB,"
                       " jolt_offset INTEGER, jolt_peak REAL, figures BLOB, digest BLOB);";

bool IsBusy(int code) {
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
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
    path_ = databasePath;
    readOnly_ = false;
    QDir().mkpath(QFileInfo(databasePath).path());
    if (Prepare(note))
        return true;
    Close();
    return false;
}

bool IndexCache::Prepare(QString* note) {
    const QByteArray name = QFile::encodeName(path_);
    int code = sqlite3_open_v2(name.constData(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                               nullptr);
    if (code != SQLITE_OK) {
        // A read-only folder without a database yet, or one SQLite only reads.
        Close();
        code = sqlite3_open_v2(name.constData(), &db_, SQLITE_OPEN_READONLY, nullptr);
        if (code != SQLITE_OK) {
            *note = QStringLiteral("Card index cache cannot be opened (%1); indexed without it.")
                        .arg(QString::fromUtf8(sqlite3_errstr(code)));
            return false;
        }
    }
    sqlite3_busy_timeout(db_, kBusyWaitMs);
    readOnly_ = sqlite3_db_readonly(db_, "main") == 1;

    sqlite3_stmt* version = nullptr;
    code = sqlite3_prepare_v2(db_, "PRAGMA user_version", -1, &version, nullptr);
    int layout = -1;
    if (code == SQLITE_OK) {
        code = sqlite3_step(version);
        if (code == SQLITE_ROW) {
            layout = sqlite3_column_int(version, 0);
            code = SQLITE_OK;
        }
    }
    sqlite3_finalize(version);
    if (IsBusy(code)) {
        *note =
            QStringLiteral("Card index cache is in use by another program; indexed without it.");
        return false;
    }
    if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT || layout < 0) {
        if (readOnly_) {
            *note =
                QStringLiteral("Card index cache is damaged and read-only; indexed without it.");
            return false;
        }
        // Our own file: a damaged one is replaced whole.
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

    if (layout != kLayout) {
        // A new file has no tables; one that has some is an older layout.
        sqlite3_stmt* tables = nullptr;
        bool empty = false;
        if (sqlite3_prepare_v2(db_, "SELECT count(*) FROM sqlite_master", -1, &tables, nullptr) ==
                SQLITE_OK &&
            sqlite3_step(tables) == SQLITE_ROW)
            empty = sqlite3_column_int(tables, 0) == 0;
        sqlite3_finalize(tables);
        if (readOnly_) {
            *note = QStringLiteral("Card index cache is of an older layout and read-only; indexed "
                                   "without it.");
            return false;
        }
        const QString renew = QStringLiteral("BEGIN IMMEDIATE; DROP TABLE IF EXISTS tracks; %1 "
                                             "PRAGMA user_version = %2; COMMIT;")
                                  .arg(QString::fromLatin1(kSchema))
                                  .arg(kLayout);
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
        if (!empty)
            *note = QStringLiteral("Card index cache was of an older layout; it was rebuilt.");
        return true;
    }

    sqlite3_stmt* rows = nullptr;
    code = sqlite3_prepare_v2(db_,
                              "SELECT path, size, modified, gsensor, rules, points, events,"
                              " jolt_offset, jolt_peak, figures, digest FROM tracks",
                              -1, &rows, nullptr);
    bool damaged = false;
    while (code == SQLITE_OK && (code = sqlite3_step(rows)) == SQLITE_ROW) {
        code = SQLITE_OK;
        const QString path =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(rows, 0)),
                              sqlite3_column_bytes(rows, 0));
        CachedTrack track;
        track.size = sqlite3_column_int64(rows, 1);
        track.modifiedMs = sqlite3_column_int64(rows, 2);
        track.hasGSensor = sqlite3_column_int(rows, 3) != 0;
        track.rules = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(rows, 4)),
                                        sqlite3_column_bytes(rows, 4));
        const QByteArray points = Blob(rows, 5);
        const QByteArray events = Blob(rows, 6);
        track.joltOffsetMs = uint32_t(sqlite3_column_int64(rows, 7));
        track.joltPeak = sqlite3_column_double(rows, 8);
        if (!ReadFigures(Blob(rows, 9), &track.figures) ||
            Blob(rows, 10) != Digest(track, points, events) ||
            !ReadPoints(points.constData(), int(points.size()), &track.points) ||
            !ReadEvents(events.constData(), int(events.size()), &track.events)) {
            damaged = true; // that recording is read again
            continue;
        }
        rows_.insert(path, std::move(track));
    }
    sqlite3_finalize(rows);
    if (code != SQLITE_DONE && code != SQLITE_OK) {
        if (IsBusy(code)) {
            *note = QStringLiteral("Card index cache is in use by another program; indexed "
                                   "without it.");
            return false;
        }
        rows_.clear();
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
    else if (damaged)
        *note = QStringLiteral("Card index cache held damaged entries; they were read again.");
    return true;
}

bool IndexCache::Find(const QString& path, int64_t size, int64_t modifiedMs, const QString& rules,
                      CachedTrack* out) const {
    auto found = rows_.constFind(path);
    if (found == rows_.constEnd() || found->size != size || found->modifiedMs != modifiedMs ||
        found->rules != rules)
        return false;
    *out = *found;
    return true;
}

void IndexCache::Put(const QString& path, CachedTrack track) {
    puts_.insert(path, std::move(track));
}

bool IndexCache::Save(const QHash<QString, bool>& present, bool removeOthers, QString* note) {
    if (!db_ || readOnly_)
        return false;
    std::vector<QString> gone;
    if (removeOthers)
        for (auto it = rows_.constBegin(); it != rows_.constEnd(); ++it)
            if (!present.contains(it.key()))
                gone.push_back(it.key());
    if (puts_.isEmpty() && gone.empty())
        return true;

    int code = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_stmt* remove = nullptr;
    if (code == SQLITE_OK)
        code = sqlite3_prepare_v2(
            db_, "INSERT OR REPLACE INTO tracks VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)", -1,
            &insert, nullptr);
    if (code == SQLITE_OK)
        code = sqlite3_prepare_v2(db_, "DELETE FROM tracks WHERE path = ?", -1, &remove, nullptr);
    for (const QString& path : gone) {
        if (code != SQLITE_OK)
            break;
        const QByteArray key = path.toUtf8();
        sqlite3_bind_text(remove, 1, key.constData(), int(key.size()), SQLITE_TRANSIENT);
        code = sqlite3_step(remove) == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(db_);
        sqlite3_reset(remove);
    }
    for (auto it = puts_.constBegin(); code == SQLITE_OK && it != puts_.constEnd(); ++it) {
        const QByteArray key = it.key().toUtf8();
        const QByteArray points = PointBlob(it->points);
        const QByteArray events = EventBlob(it->events);
        const QByteArray digest = Digest(*it, points, events);
        const QByteArray rules = it->rules.toUtf8();
        sqlite3_bind_text(insert, 1, key.constData(), int(key.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(insert, 2, it->size);
        sqlite3_bind_int64(insert, 3, it->modifiedMs);
        sqlite3_bind_int(insert, 4, it->hasGSensor ? 1 : 0);
        sqlite3_bind_text(insert, 5, rules.constData(), int(rules.size()), SQLITE_TRANSIENT);
        sqlite3_bind_blob(insert, 6, points.constData(), int(points.size()), SQLITE_TRANSIENT);
        sqlite3_bind_blob(insert, 7, events.constData(), int(events.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(insert, 8, it->joltOffsetMs);
        sqlite3_bind_double(insert, 9, it->joltPeak);
        const QByteArray figures = FiguresBlob(it->figures);
        sqlite3_bind_blob(insert, 10, figures.constData(), int(figures.size()), SQLITE_TRANSIENT);
        sqlite3_bind_blob(insert, 11, digest.constData(), int(digest.size()), SQLITE_TRANSIENT);
        code = sqlite3_step(insert) == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(db_);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_finalize(remove);
    if (code == SQLITE_OK)
        code = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    if (code == SQLITE_OK) {
        puts_.clear();
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
