#include "cardindex/CardIndexStore.h"

#include "cardindex/BoxQuery.h"
#include "cardindex/NearQuery.h"
#include "cardindex/SphereMath.h"
#include "cardindex/TripFigures.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <sqlite3.h>

namespace {

// Fixes per R*Tree entry: fewer entries to build and search, and a handful
// of segments to measure for each entry found.
constexpr int kRunLength = 64;

// A difference of longitudes the short way round, so that a drive across
// the 180th meridian is a step of metres, not of the whole globe.
double Wrap(double degrees) {
    while (degrees > 180)
        degrees -= 360;
    while (degrees < -180)
        degrees += 360;
    return degrees;
}

// The box of a run of fixes and of every place on the lines between them:
// a line strays from its ends by at most half its length, which near a pole
// takes it over the pole.
GlobeBox RunBox(const std::vector<IndexedPoint>& points, size_t first, size_t last) {
    GlobeBox box;
    box.south = box.north = points[first].latitude;
    box.west = box.east = points[first].longitude;
    double longitude = points[first].longitude; // unwrapped along the run
    double longest = 0;
    for (size_t i = first + 1; i <= last; ++i) {
        const IndexedPoint& a = points[i - 1];
        const IndexedPoint& p = points[i];
        box.south = std::min(box.south, p.latitude);
        box.north = std::max(box.north, p.latitude);
        longitude += Wrap(p.longitude - a.longitude);
        box.west = std::min(box.west, longitude);
        box.east = std::max(box.east, longitude);
        if (JoinedFixes(a, p))
            longest =
                std::max(longest, ArcDegrees(a.latitude, a.longitude, p.latitude, p.longitude));
    }
    return Grow(box, longest / 2 * 1.01 + 1e-9);
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
            GlobeBox box = RunBox(points, first, last);
            // A run across the 180th meridian is looked for on both sides.
            if (box.west < -180 || box.east > 180) {
                box.west = -180;
                box.east = 180;
            }
            sqlite3_bind_int64(insert, 1, int64_t(runs_.size()));
            sqlite3_bind_double(insert, 2, box.south);
            sqlite3_bind_double(insert, 3, box.north);
            sqlite3_bind_double(insert, 4, box.west);
            sqlite3_bind_double(insert, 5, box.east);
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
    NearHits near(latitude, longitude, radiusM);
    if (!near.Asked())
        return {};
    // A box that holds the circle (with a pole inside it, a band of every
    // longitude); the R*Tree rounds its edges outwards.
    const GlobeBox box = Grow({latitude, latitude, longitude, longitude}, ReachDegrees(radiusM));
    std::vector<int> ids;
    if (box.AllLongitudes()) {
        ids = RunsInBox(box.south, -180, box.north, 180);
    } else {
        // A circle across the 180th meridian is looked up on both sides of it.
        ids =
            RunsInBox(box.south, std::max(-180.0, box.west), box.north, std::min(180.0, box.east));
        std::vector<int> wrapped;
        if (box.west < -180)
            wrapped = RunsInBox(box.south, box.west + 360, box.north, 180);
        else if (box.east > 180)
            wrapped = RunsInBox(box.south, -180, box.north, box.east - 360);
        ids.insert(ids.end(), wrapped.begin(), wrapped.end());
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    for (int id : ids) {
        const Run& run = runs_[size_t(id)];
        near.OfferRun(run.recording, recordings[size_t(run.recording)].points, run.first, run.last);
    }
    return near.Hits();
}

std::vector<NearHit> CardIndexStore::InBox(const std::vector<IndexedRecording>& recordings,
                                           const GeoBox& box) const {
    // A box across the 180th meridian is looked up on both sides of it.
    std::vector<int> ids =
        RunsInBox(box.south, box.west, box.north, box.SpansTheMeridian() ? 180 : box.east);
    if (box.SpansTheMeridian()) {
        const std::vector<int> more = RunsInBox(box.south, -180, box.north, box.east);
        ids.insert(ids.end(), more.begin(), more.end());
    }
    BoxHits hits(box);
    for (int id : ids) {
        const Run& run = runs_[size_t(id)];
        const std::vector<IndexedPoint>& points = recordings[size_t(run.recording)].points;
        for (int i = run.first; i <= run.last; ++i)
            hits.Offer(run.recording, points[size_t(i)]);
    }
    return hits.Hits();
}
