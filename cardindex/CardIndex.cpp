#include "cardindex/CardIndex.h"

#include "cardindex/CardIndexStore.h"
#include "cardindex/CardLifeMath.h"
#include "cardindex/CountedRecordings.h"
#include "cardindex/DrivingEvents.h"
#include "cardindex/FileStamp.h"
#include "cardindex/IndexCache.h"
#include "cardindex/TripFigures.h"
#include "recordings/CameraPairing.h"
#include "recordings/NmeaCoordinates.h"
#include "recordings/TripModel.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>
#include <algorithm>
#include <cmath>

namespace {

QString PathOf(const RecordingFile& f) {
    return f.root + f.folder + f.fileName;
}

// The index's form of a loaded track. A fix without a time cannot say when
// the car was there, so it is left out with those off the globe; offsets
// run from the recording's start when the fixes agree with it, else from
// the first fix (a camera clock set to another zone than this computer's).
// The samples are judged here and only what they showed is kept.
void TrackOf(const TripRecording& loaded, int64_t startUtcMs, uint32_t durationMs,
             const CardIndexSettings& settings, CachedTrack* out) {
    out->points.clear();
    for (const GpsFix& p : loaded.points) {
        if (!p.hasTime || !IsPlausiblePosition(p.latitude, p.longitude))
            continue;
        IndexedPoint point;
        point.latitude = p.latitude;
        point.longitude = p.longitude;
        point.speedKmh = float(p.speedKmh);
        point.headingDegrees = float(p.headingDegrees);
        point.utcMs = p.utcMs;
        out->points.push_back(point);
    }
    std::stable_sort(
        out->points.begin(), out->points.end(),
        [](const IndexedPoint& a, const IndexedPoint& b) { return a.utcMs < b.utcMs; });
    if (!out->points.empty()) {
        const int64_t first = out->points.front().utcMs;
        const bool fromStart =
            startUtcMs != 0 && first >= startUtcMs && first - startUtcMs <= int64_t(durationMs);
        const int64_t zero = fromStart ? startUtcMs : first;
        for (IndexedPoint& p : out->points)
            p.offsetMs = uint32_t(std::max<int64_t>(0, p.utcMs - zero));
    }
    std::vector<IndexedSample> samples;
    samples.reserve(loaded.samples.size());
    for (const TripSample& s : loaded.samples)
        samples.push_back({float(s.offsetMs), float(s.x), float(s.y), float(s.z)});
    out->hasGSensor = !samples.empty();
    out->events = FindDrivingEvents(out->points, samples, false, startUtcMs, settings);
    out->figures = FiguresOfTrack(out->points);
    out->joltOffsetMs = 0;
    out->joltPeak = 0;
    StrongestJolt(samples, &out->joltOffsetMs, &out->joltPeak);
}

// The settings the kept events were found with; others need the samples again.
QString RulesOf(const CardIndexSettings& s) {
    return QStringLiteral("g%1 hold%2 impact%3 drop%4")
        .arg(s.eventG, 0, 'g', 17)
        .arg(s.eventHoldMs)
        .arg(s.impactG, 0, 'g', 17)
        .arg(s.speedDropKmh, 0, 'g', 17);
}

} // namespace

CardIndex::CardIndex(const CardIndexSettings& settings) : m_settings(settings) {}

CardIndex::~CardIndex() = default;

QString CardIndex::DefaultCacheFolder() {
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + "/.cache";
    return base + "/halvex";
}

bool CardIndex::Build(const std::vector<RecordingFile>& files, const QString& cacheFolder,
                      const std::function<bool(int, int)>& progress, QString* note) {
    m_recordings.clear();
    m_counted.clear();
    m_events.clear();
    m_figures.clear();
    m_spatial.reset();
    QString line;

    IndexCache cache;
    bool cached = false;
    if (!cacheFolder.isEmpty() && !files.empty())
        cached = cache.Open(IndexCache::DatabasePath(cacheFolder, files.front().root), &line);

    const QString rules = RulesOf(m_settings);
    std::vector<IndexedRecording> recordings;
    std::vector<std::vector<DrivingEvent>> events;
    std::vector<TrackFigures> figures;
    QHash<QString, bool> present;
    const int total = int(files.size());
    bool cancelled = false;
    for (int i = 0; i < total; ++i) {
        const RecordingFile& file = files[size_t(i)];
        IndexedRecording r;
        r.path = PathOf(file);
        r.fileName = file.fileName;
        r.rear = IsRearCameraPath(r.path);
        r.group = file.groupStart;
        r.flags = file.flags;
        r.startUtcMs = file.info.StartMs();
        r.durationMs = file.info.durationMs ? file.info.durationMs
                                            : uint32_t(file.info.durationSeconds * 1000);
        FileStamp stamp;
        const bool stamped = ReadFileStamp(r.path, &stamp);
        r.fileSize = file.info.fileSize ? file.info.fileSize : uint64_t(stamp.size);
        present.insert(r.path, true);

        CachedTrack track;
        if (!cached || !stamped || !cache.Find(r.path, stamp, rules, &track)) {
            TripRecording loaded;
            // An unreadable recording stays listed, without a track.
            if (LoadTripRecording(file, &loaded))
                TrackOf(loaded, r.startUtcMs, r.durationMs, m_settings, &track);
            track.stamp = stamp;
            track.rules = rules;
            if (cached && stamped)
                cache.Put(r.path, track);
        }
        r.hasGSensor = track.hasGSensor;
        r.points = std::move(track.points);
        figures.push_back(track.figures);
        if (file.flags & RecordingFile::kEventLocked) {
            track.events.push_back(
                CameraEventAt(r.points, track.joltOffsetMs, track.joltPeak, r.startUtcMs));
            std::stable_sort(track.events.begin(), track.events.end(),
                             [](const DrivingEvent& a, const DrivingEvent& b) {
                                 return a.offsetMs < b.offsetMs;
                             });
        }
        events.push_back(std::move(track.events));
        recordings.push_back(std::move(r));
        if (progress && !progress(i + 1, total)) {
            cancelled = true;
            break;
        }
    }
    // What was read is kept even when cancelled; only a whole pass knows
    // which files left the card.
    if (cached)
        cache.Save(present, !cancelled, &line);
    if (note)
        *note = line;
    if (cancelled)
        return false;

    m_counted = CountedRecordings(recordings);
    for (size_t i = 0; i < events.size(); ++i) {
        if (!m_counted[i])
            continue;
        for (DrivingEvent& e : events[i]) {
            e.recording = int(i);
            m_events.push_back(e);
        }
    }
    std::stable_sort(
        m_events.begin(), m_events.end(),
        [](const DrivingEvent& a, const DrivingEvent& b) { return a.utcMs < b.utcMs; });
    m_recordings = std::move(recordings);
    m_figures = std::move(figures);
    m_spatial = std::make_unique<CardIndexStore>();
    m_spatial->Build(m_recordings, m_counted);
    return true;
}

const std::vector<IndexedRecording>& CardIndex::Recordings() const {
    return m_recordings;
}

std::vector<TripSummary> CardIndex::Trips() const {
    std::vector<TripSummary> trips;
    const std::vector<std::vector<int>> split =
        SplitTrips(m_recordings, m_counted, m_settings.tripGapMs);
    std::vector<int> tripOf(m_recordings.size(), -1);
    for (const std::vector<int>& members : split) {
        TripSummary t = TripFiguresOf(m_recordings, m_figures, members);
        t.number = int(trips.size()) + 1;
        for (int r : members)
            tripOf[size_t(r)] = int(trips.size());
        trips.push_back(std::move(t));
    }
    for (const DrivingEvent& e : m_events)
        if (e.recording >= 0 && tripOf[size_t(e.recording)] >= 0)
            ++trips[size_t(tripOf[size_t(e.recording)])].eventCount;
    return trips;
}

std::vector<DayTotals> CardIndex::Days() const {
    std::vector<DayTotals> days;
    for (const TripSummary& t : Trips()) {
        const QDate date = QDateTime::fromMSecsSinceEpoch(t.startUtcMs, Qt::LocalTime).date();
        if (days.empty() || days.back().date != date)
            days.push_back({date, {}, 0, 0, 0, 0});
        DayTotals& day = days.back();
        day.trips.push_back(t.number);
        day.distanceM += t.distanceM;
        day.durationMs += t.durationMs;
        day.movingMs += t.movingMs;
        day.eventCount += t.eventCount;
    }
    return days;
}

std::vector<DrivingEvent> CardIndex::Events() const {
    return m_events;
}

std::vector<NearHit> CardIndex::Near(double lat, double lon, double radiusM) const {
    return m_spatial ? m_spatial->Near(m_recordings, lat, lon, radiusM) : std::vector<NearHit>();
}

std::vector<NearHit> CardIndex::InBox(const GeoBox& box) const {
    return m_spatial ? m_spatial->InBox(m_recordings, box) : std::vector<NearHit>();
}

CardLife CardIndex::Life(const QString& cardFolder) const {
    uint64_t bytes = 0, lockedBytes = 0, ms = 0;
    for (size_t i = 0; i < m_recordings.size(); ++i) {
        const IndexedRecording& r = m_recordings[i];
        bytes += r.fileSize;
        if (r.flags & (RecordingFile::kEventLocked | RecordingFile::kHandLocked))
            lockedBytes += r.fileSize;
        // Both cameras record the same minutes: the hours are the counted ones.
        if (i < m_counted.size() && m_counted[i])
            ms += r.durationMs;
    }
    const QStorageInfo storage(cardFolder);
    const uint64_t freeBytes =
        storage.isValid() ? uint64_t(std::max<qint64>(0, storage.bytesAvailable())) : 0;
    return CardLifeOf(bytes, lockedBytes, ms, freeBytes);
}
