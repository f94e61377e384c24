#pragma once
// The card index's database on disk: what each recording's fixes and
// G-sensor samples showed, keyed by path and the file's stamp, one database
// per card folder. A database that cannot be used is never fatal: the index
// is built without it and one line says why. Only a plain file of this
// program's own is opened, and only such a file is ever written.
#include "cardindex/CardIndexTypes.h"
#include "cardindex/DrivingEvents.h"
#include "cardindex/FileStamp.h"
#include "cardindex/TripFigures.h"

#include <QHash>
#include <QString>
#include <vector>

struct sqlite3;

// What the index keeps of one recording: its fixes, and what its G-sensor
// samples showed under the event settings named by `rules` (the samples
// themselves are many times larger and needed only for that).
struct CachedTrack {
    FileStamp stamp;
    bool hasGSensor = false;
    QString rules;
    std::vector<IndexedPoint> points;
    std::vector<DrivingEvent> events; // without the camera's own event
    uint32_t joltOffsetMs = 0;        // the strongest jolt, for the camera's event
    double joltPeak = 0;
    TrackFigures figures; // along `points`
};

class IndexCache {
  public:
    // Bumped whenever the tables or the blobs change shape; an older
    // database is emptied and filled again.
    static constexpr int kLayout = 5;
    // Marks the database as this program's ("Hlvx").
    static constexpr int kApplicationId = 0x486c7678;
    // No recording's track comes near this; a row above it is not read.
    static constexpr int64_t kMaxRowBytes = 32 << 20;

    IndexCache() = default;
    ~IndexCache();
    IndexCache(const IndexCache&) = delete;
    IndexCache& operator=(const IndexCache&) = delete;

    // The database of one card folder inside the cache folder.
    static QString DatabasePath(const QString& cacheFolder, const QString& cardRoot);

    // Opens (creating or renewing it when needed) and reads every row.
    // False when no cache can be used; *note tells what happened, also
    // when true (a damaged or older database renewed, a read-only one).
    bool Open(const QString& databasePath, QString* note);

    // The cached track of a file, when its stamp and the event rules still
    // match and its bytes are whole.
    bool Find(const QString& path, const FileStamp& stamp, const QString& rules,
              CachedTrack* out) const;

    // Kept for Save.
    void Put(const QString& path, CachedTrack track);

    // Writes what Put gave and, with `removeOthers`, drops the rows of files
    // no longer on the card (`present`). False with one line in *note when
    // the database could not take it (read-only, full, locked).
    bool Save(const QHash<QString, bool>& present, bool removeOthers, QString* note);

  private:
    bool Prepare(QString* note);
    bool ReadRows(QString* note);
    bool KeepOnlyWhatFits();
    bool GiveBackFreePages();
    void Close();

    sqlite3* db_ = nullptr;
    QString path_;
    bool readOnly_ = false;
    QHash<QString, CachedTrack> rows_;
    QHash<QString, CachedTrack> puts_;
    std::vector<int64_t> stale_; // damaged rows, by rowid
};
