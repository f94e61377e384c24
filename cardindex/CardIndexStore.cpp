#include "cardindex/CardIndexStore.h"

#include "cardindex/TripFigures.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <sqlite3.h>

namespace {

// Fixes per R*Tree entry: fewer entries to build and search, and a handful
// of segments to measure for each entry found.
constexpr int kRunLength = 64;
// Consecutive fixes further apart in time are not joined by a line: the car
// was not seen in between.
constexpr int64_t kJoinedMs = 5000;
constexpr double kMetresPerDegree = 111320.0;
constexpr double kPi = 3.14159265358979323846;

// A difference of longitudes the short way round, so that a drive across
// the 180th meridian is a step of metres, not of the whole globe.
double Wrap(double degrees) {
    while (degrees > 180)
        degrees -= 360;
    while (degrees < -180)
        degrees += 360;
    return degrees;
}

} // namespace

CardIndexStore::~CardIndexStore() {
    if (db_)
        sqlite3_close(db_);
}

bool CardIndexStore::Build(const std::vector<IndexedRecording>& recordings,
                           const std::vector<bool>& counted) {
    runs_.clear();
    if (db_) {
        sqlite3_close(db_);
        db_ = nullptr;
    }
    if (sqlite3_open_v2(":memory:", &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
            SQLITE_OK ||
        sqlite3_exec(db_,
                     "CREATE VIRTUAL TABLE runs USING rtree(id, south, north, west, east);"
                     "BEGIN;",
                     nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_close(db_);
        db_ = nullptr;
        return false;
    }
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db_, "INSERT INTO runs VALUES (?, ?, ?, ?, ?)", -1, &insert, nullptr);
    bool ok = insert != nullptr;
    for (size_t r = 0; ok && r < recordings.size(); ++r) {
        if (r >= counted.size() || !counted[r])
            continue;
        const std::vector<IndexedPoint>& points = recordings[r].points;
        // Runs share their boundary fix, so no segment falls between two.
        for (size_t first = 0; ok && first < points.size(); first += kRunLength) {
            const size_t last = std::min(points.size() - 1, first + kRunLength);
            double south = 90, north = -90, west = 180, east = -180;
            for (size_t i = first; i <= last; ++i) {
                south = std::min(south, points[i].latitude);
                north = std::max(north, points[i].latitude);
                west = std::min(west, points[i].longitude);
                east = std::max(east, points[i].longitude);
            }
            sqlite3_bind_int64(insert, 1, int64_t(runs_.size()));
            sqlite3_bind_double(insert, 2, south);
            sqlite3_bind_double(insert, 3, north);
            sqlite3_bind_double(insert, 4, west);
            sqlite3_bind_double(insert, 5, east);
            ok = sqlite3_step(insert) == SQLITE_DONE;
            sqlite3_reset(insert);
            runs_.push_back({int(r), int(first), int(last)});
            if (last + 1 == points.size())
                break;
        }
    }
    sqlite3_finalize(insert);
    ok = ok && sqlite3_exec(db_, "COMMIT;", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!ok) {
        sqlite3_close(db_);
        db_ = nullptr;
        runs_.clear();
    }
    return ok;
}

std::vector<int> CardIndexStore::RunsInBox(double south, double west, double north,
                                           double east) const {
    std::vector<int> found;
    if (!db_)
        return found;
    sqlite3_stmt* query = nullptr;
    if (sqlite3_prepare_v2(db_,
                           "SELECT id FROM runs WHERE north >= ? AND south <= ? AND east >= ? "
                           "AND west <= ?",
                           -1, &query, nullptr) != SQLITE_OK)
        return found;
    sqlite3_bind_double(query, 1, south);
    sqlite3_bind_double(query, 2, north);
    sqlite3_bind_double(query, 3, west);
    sqlite3_bind_double(query, 4, east);
    while (sqlite3_step(query) == SQLITE_ROW) {
        const int64_t id = sqlite3_column_int64(query, 0);
        if (id >= 0 && size_t(id) < runs_.size())
            found.push_back(int(id));
    }
    sqlite3_finalize(query);
    return found;
}

std::vector<NearHit> CardIndexStore::Near(const std::vector<IndexedRecording>& recordings,
                                          double latitude, double longitude, double radiusM) const {
    std::vector<NearHit> hits;
    if (!(radiusM >= 0) || std::abs(latitude) > 90 || std::abs(longitude) > 180)
        return hits;
    // A box that holds the circle; the R*Tree rounds its edges outwards.
    const double cosLat = std::max(0.01, std::cos(latitude * kPi / 180));
    const double dLat = radiusM / kMetresPerDegree * 1.01 + 1e-6;
    const double dLon = radiusM / (kMetresPerDegree * cosLat) * 1.01 + 1e-6;
    // A circle across the 180th meridian is looked up on both sides of it.
    std::vector<int> ids = RunsInBox(latitude - dLat, std::max(-180.0, longitude - dLon),
                                     latitude + dLat, std::min(180.0, longitude + dLon));
    std::vector<int> wrapped;
    if (longitude - dLon < -180)
        wrapped = RunsInBox(latitude - dLat, longitude - dLon + 360, latitude + dLat, 180);
    else if (longitude + dLon > 180)
        wrapped = RunsInBox(latitude - dLat, -180, latitude + dLat, longitude + dLon - 360);
    ids.insert(ids.end(), wrapped.begin(), wrapped.end());
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    std::map<int, NearHit> best; // by recording
    for (int id : ids) {
        const Run& run = runs_[size_t(id)];
        const std::vector<IndexedPoint>& points = recordings[size_t(run.recording)].points;
        for (int i = run.first; i <= run.last; ++i) {
            // The closest place on the segment to the next fix, in a flat
            // frame around the place (fine over the few metres that matter);
            // the distance to it is then measured on the ellipsoid.
            const IndexedPoint& a = points[size_t(i)];
            const IndexedPoint* b = i < run.last ? &points[size_t(i) + 1] : nullptr;
            if (b && b->utcMs - a.utcMs > kJoinedMs)
                b = nullptr;
            double t = 0;
            if (b) {
                const double ax = Wrap(a.longitude - longitude) * cosLat;
                const double ay = a.latitude - latitude;
                const double dx = Wrap(b->longitude - a.longitude) * cosLat;
                const double dy = b->latitude - a.latitude;
                const double length = dx * dx + dy * dy;
                if (length > 0)
                    t = std::clamp(-(ax * dx + ay * dy) / length, 0.0, 1.0);
            }
            const double lat = b ? a.latitude + (b->latitude - a.latitude) * t : a.latitude;
            const double lon =
                b ? Wrap(a.longitude + Wrap(b->longitude - a.longitude) * t) : a.longitude;
            // The flat frame is within a fraction of a percent over a few
            // hundred metres; only those close enough are measured exactly.
            const double flat =
                std::hypot(Wrap(lon - longitude) * cosLat, lat - latitude) * kMetresPerDegree;
            if (flat > radiusM * 1.01 + 1)
                continue;
            const double metres = GeodesicMetres(latitude, longitude, lat, lon);
            if (metres > radiusM)
                continue;
            NearHit hit;
            hit.recording = run.recording;
            hit.distanceM = metres;
            hit.offsetMs =
                b ? uint32_t(std::llround(a.offsetMs + (double(b->offsetMs) - a.offsetMs) * t))
                  : a.offsetMs;
            hit.utcMs = a.utcMs + (int64_t(hit.offsetMs) - int64_t(a.offsetMs));
            auto found = best.find(run.recording);
            if (found == best.end() || metres < found->second.distanceM)
                best[run.recording] = hit;
        }
    }
    for (const auto& [recording, hit] : best)
        hits.push_back(hit);
    std::sort(hits.begin(), hits.end(), [](const NearHit& a, const NearHit& b) {
        return a.distanceM != b.distanceM ? a.distanceM < b.distanceM : a.utcMs < b.utcMs;
    });
    return hits;
}

std::vector<NearHit> CardIndexStore::InBox(const std::vector<IndexedRecording>& recordings,
                                           double south, double west, double north,
                                           double east) const {
    // A box whose west edge lies east of its east edge spans the 180th
    // meridian: the two parts on either side of it.
    const bool spans = west > east;
    std::vector<int> ids = RunsInBox(south, west, north, spans ? 180 : east);
    if (spans) {
        const std::vector<int> more = RunsInBox(south, -180, north, east);
        ids.insert(ids.end(), more.begin(), more.end());
    }
    const auto inside = [&](const IndexedPoint& p) {
        const bool lonInside = spans ? p.longitude >= west || p.longitude <= east
                                     : p.longitude >= west && p.longitude <= east;
        return lonInside && p.latitude >= south && p.latitude <= north;
    };
    std::map<int, NearHit> first; // by recording
    for (int id : ids) {
        const Run& run = runs_[size_t(id)];
        const std::vector<IndexedPoint>& points = recordings[size_t(run.recording)].points;
        for (int i = run.first; i <= run.last; ++i) {
            const IndexedPoint& p = points[size_t(i)];
            if (!inside(p))
                continue;
            auto found = first.find(run.recording);
            if (found == first.end() || p.offsetMs < found->second.offsetMs)
                first[run.recording] = {run.recording, p.offsetMs, p.utcMs, 0};
            break;
        }
    }
    std::vector<NearHit> hits;
    for (const auto& [recording, hit] : first)
        hits.push_back(hit);
    std::sort(hits.begin(), hits.end(),
              [](const NearHit& a, const NearHit& b) { return a.utcMs < b.utcMs; });
    return hits;
}
