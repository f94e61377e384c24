#pragma once
// The card index: every recording's track of a scanned card, kept in a small
// SQLite database so that reopening the card reads only what changed, and
// the answers built from it (trips, driving events, "when was I here?", how
// long the card lasts). Data side only: no widget, no map.
#include "cardindex/BoxQuery.h"
#include "cardindex/CardIndexTypes.h"
#include "recordings/RecordingInfo.h"

#include <QDate>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct CardIndexSettings {
    int64_t tripGapMs = 5 * 60 * 1000; // recordings further apart start a new trip
    double eventG = 0.4;               // horizontal acceleration of an event
    int eventHoldMs = 200;             // held at least this long
    double impactG = 1.5;              // peak above gravity of an impact
    double speedDropKmh = 12;          // within a second, where no G-sensor data exist
};

// The trips of one local day together.
struct DayTotals {
    QDate date;             // local
    std::vector<int> trips; // trip numbers
    double distanceM = 0;
    int64_t durationMs = 0;
    int64_t movingMs = 0;
    int eventCount = 0;
};

class CardIndexStore;
struct TrackFigures;

class CardIndex {
  public:
    explicit CardIndex(const CardIndexSettings& settings = CardIndexSettings());
    ~CardIndex();
    CardIndex(const CardIndex&) = delete;
    CardIndex& operator=(const CardIndex&) = delete;

    const CardIndexSettings& Settings() const { return m_settings; }

    // Builds from the scanned files (RecordingFile as RecordingCatalog::files
    // holds them), replacing what the index held. With a cache folder (""
    // = no cache) it reads only the recordings whose path, size, times or
    // inode changed since the last build of that card; a cache
    // that cannot be used is ignored or rebuilt in memory and `note` gets one
    // line saying so ("" when the cache served normally). progress(done,
    // total) is called after each recording and may return false to cancel:
    // then Build returns false and the index is left empty. Recordings that
    // cannot be read are kept without points. Safe to call from a worker
    // thread; the answers below must not be asked for while it runs.
    bool Build(const std::vector<RecordingFile>& files, const QString& cacheFolder,
               const std::function<bool(int, int)>& progress, QString* note);

    // The cache folder the viewer uses: $XDG_CACHE_HOME/halvex (or
    // ~/.cache/halvex); one database per card folder inside it.
    static QString DefaultCacheFolder();

    // In the order of the files given to Build.
    const std::vector<IndexedRecording>& Recordings() const;

    // Recordings following each other with gaps of at most tripGapMs; a
    // front/rear pair counts once (the front's track; a rear alone when it
    // has no front). In time order, numbered from 1.
    std::vector<TripSummary> Trips() const;

    // The trips' figures added up per local day of their start, in time order.
    std::vector<DayTotals> Days() const;

    // Driving events from the G-sensor and speed, and the camera's own event
    // recordings, in time order.
    std::vector<DrivingEvent> Events() const;

    // Every recording passing within radiusM of the place, with its closest
    // approach, nearest first. Answered from the R*Tree.
    std::vector<NearHit> Near(double lat, double lon, double radiusM) const;

    // Every recording with a fix inside the box, at its fix nearest the
    // box's middle, nearest first (BoxHits). Answered from the R*Tree.
    std::vector<NearHit> InBox(const GeoBox& box) const;

    // Hours recorded, the locked share and free space of the card folder, and
    // the hours of driving left before the oldest unlocked recording goes.
    CardLife Life(const QString& cardFolder) const;

  private:
    CardIndexSettings m_settings;
    std::vector<IndexedRecording> m_recordings;
    std::vector<bool> m_counted; // false: a rear whose front is indexed
    std::vector<DrivingEvent> m_events;
    std::vector<TrackFigures> m_figures;       // one per recording, worked out by Build
    std::unique_ptr<CardIndexStore> m_spatial; // in-memory R*Tree of the points
};
