#include "cardindex/TripFigures.h"

#include <GeographicLib/Geodesic.hpp>
#include <algorithm>
#include <numeric>

namespace {

constexpr double kMovingKmh = 3;
// Two fixes further apart than this did not see what lay between them (a
// tunnel, a parked car): the distance still counts, the time does not count
// as moving.
constexpr int64_t kLongestStepMs = 10 * 1000;
// A step that would need more than this is a jump of the receiver, not a
// drive; counting it would add kilometres that were never driven.
constexpr double kFastestKmh = 400;
// Fixes of one instant further apart than this are a jump too.
constexpr double kSameInstantMetres = 100;

} // namespace

double GeodesicMetres(double lat1, double lon1, double lat2, double lon2) {
    double metres = 0;
    GeographicLib::Geodesic::WGS84().Inverse(lat1, lon1, lat2, lon2, metres);
    return metres;
}

void PointAlong(double lat1, double lon1, double lat2, double lon2, double share, double* lat,
                double* lon) {
    const GeographicLib::Geodesic& wgs84 = GeographicLib::Geodesic::WGS84();
    double metres = 0, azimuth1 = 0, azimuth2 = 0;
    wgs84.Inverse(lat1, lon1, lat2, lon2, metres, azimuth1, azimuth2);
    wgs84.Direct(lat1, lon1, azimuth1, metres * share, *lat, *lon);
}

bool RecordingSpan(const IndexedRecording& r, int64_t* startMs, int64_t* endMs) {
    if (r.startUtcMs != 0) {
        *startMs = r.startUtcMs;
        *endMs = r.startUtcMs + r.durationMs;
        if (!r.points.empty())
            *endMs = std::max(*endMs, r.points.back().utcMs);
        return true;
    }
    if (r.points.empty())
        return false;
    *startMs = r.points.front().utcMs - r.points.front().offsetMs;
    *endMs = std::max(r.points.back().utcMs, *startMs + int64_t(r.durationMs));
    return true;
}

std::vector<std::vector<int>> SplitTrips(const std::vector<IndexedRecording>& recordings,
                                         const std::vector<bool>& counted, int64_t gapMs) {
    struct Span {
        int index;
        int64_t start, end;
    };
    std::vector<Span> spans;
    for (size_t i = 0; i < recordings.size(); ++i) {
        Span s{int(i), 0, 0};
        if (i < counted.size() && counted[i] && RecordingSpan(recordings[i], &s.start, &s.end))
            spans.push_back(s);
    }
    std::stable_sort(spans.begin(), spans.end(),
                     [](const Span& a, const Span& b) { return a.start < b.start; });
    std::vector<std::vector<int>> trips;
    int64_t tripEnd = 0;
    for (const Span& s : spans) {
        if (trips.empty() || s.start - tripEnd > gapMs) {
            trips.emplace_back();
            tripEnd = s.end;
        }
        trips.back().push_back(s.index);
        tripEnd = std::max(tripEnd, s.end);
    }
    return trips;
}

namespace {

// One step from fix a to fix b added to the figures.
void AddStep(const IndexedPoint& a, const IndexedPoint& b, TrackFigures* f) {
    const double metres = GeodesicMetres(a.latitude, a.longitude, b.latitude, b.longitude);
    const int64_t ms = b.utcMs - a.utcMs;
    const bool jump =
        ms > 0 ? metres / (ms / 1000.0) * 3.6 > kFastestKmh : metres > kSameInstantMetres;
    if (jump)
        return;
    f->distanceM += metres;
    if (ms > 0 && ms <= kLongestStepMs && a.speedKmh > kMovingKmh) {
        f->movingMs += ms;
        f->movingM += metres;
    }
}

} // namespace

TrackFigures FiguresOfTrack(const std::vector<IndexedPoint>& points) {
    TrackFigures f;
    for (size_t i = 0; i < points.size(); ++i) {
        f.maxKmh = std::max(f.maxKmh, double(points[i].speedKmh));
        if (i > 0)
            AddStep(points[i - 1], points[i], &f);
    }
    return f;
}

TripSummary TripFiguresOf(const std::vector<IndexedRecording>& recordings,
                          const std::vector<TrackFigures>& figures, const std::vector<int>& trip) {
    TripSummary t;
    t.recordings = trip;
    bool spanKnown = false;
    for (int index : trip) {
        int64_t start = 0, end = 0;
        if (!RecordingSpan(recordings[size_t(index)], &start, &end))
            continue;
        t.startUtcMs = spanKnown ? std::min(t.startUtcMs, start) : start;
        t.endUtcMs = spanKnown ? std::max(t.endUtcMs, end) : end;
        spanKnown = true;
    }
    t.durationMs = t.endUtcMs - t.startUtcMs;

    TrackFigures sum;
    const IndexedPoint* previous = nullptr;
    for (int index : trip) {
        const std::vector<IndexedPoint>& points = recordings[size_t(index)].points;
        if (points.empty())
            continue;
        if (!t.hasPositions) {
            t.startLatitude = points.front().latitude;
            t.startLongitude = points.front().longitude;
            t.hasPositions = true;
        }
        t.endLatitude = points.back().latitude;
        t.endLongitude = points.back().longitude;
        if (previous)
            AddStep(*previous, points.front(), &sum);
        const TrackFigures& own = figures[size_t(index)];
        sum.distanceM += own.distanceM;
        sum.movingM += own.movingM;
        sum.movingMs += own.movingMs;
        sum.maxKmh = std::max(sum.maxKmh, own.maxKmh);
        previous = &points.back();
    }
    t.distanceM = sum.distanceM;
    t.movingMs = sum.movingMs;
    t.maxKmh = sum.maxKmh;
    if (t.movingMs > 0)
        t.averageMovingKmh = sum.movingM / (t.movingMs / 1000.0) * 3.6;
    return t;
}
