#include "cardindex/NearQuery.h"

#include "cardindex/CountedRecordings.h"
#include "cardindex/SphereMath.h"
#include "cardindex/TripFigures.h"

#include <algorithm>
#include <cmath>

bool JoinedFixes(const IndexedPoint& a, const IndexedPoint& b) {
    return b.utcMs - a.utcMs <= kJoinedFixesMs;
}

NearHits::NearHits(double latitude, double longitude, double radiusM)
    : latitude_(latitude), longitude_(longitude), radiusM_(radiusM),
      asked_(radiusM >= 0 && std::abs(latitude) <= 90 && std::abs(longitude) <= 180) {}

void NearHits::OfferRun(int recording, const std::vector<IndexedPoint>& points, int first,
                        int last) {
    if (!asked_)
        return;
    for (int i = first; i <= last; ++i) {
        const IndexedPoint& a = points[size_t(i)];
        const IndexedPoint* b = i < last ? &points[size_t(i) + 1] : nullptr;
        if (b && !JoinedFixes(a, *b))
            b = nullptr;
        // The nearest place on the line to the next fix, found on the sphere
        // (the line is short); only a line that may come close enough is
        // measured on the ellipsoid.
        const NearestOnArc nearest =
            b ? Nearest(latitude_, longitude_, a.latitude, a.longitude, b->latitude, b->longitude)
              : NearestOnArc{0, ArcDegrees(latitude_, longitude_, a.latitude, a.longitude)};
        const double least = LeastMetres(nearest.arcDegrees);
        const auto found = best_.find(recording);
        if (least > radiusM_ || (found != best_.end() && least > found->second.distanceM))
            continue;
        const double t = nearest.share;
        double lat = a.latitude, lon = a.longitude;
        if (b && t > 0)
            PointAlong(a.latitude, a.longitude, b->latitude, b->longitude, t, &lat, &lon);
        const double metres = GeodesicMetres(latitude_, longitude_, lat, lon);
        if (metres > radiusM_ || (found != best_.end() && metres >= found->second.distanceM))
            continue;
        NearHit hit;
        hit.recording = recording;
        hit.distanceM = metres;
        hit.offsetMs =
            b ? uint32_t(std::llround(a.offsetMs + (double(b->offsetMs) - a.offsetMs) * t))
              : a.offsetMs;
        hit.utcMs = a.utcMs + (int64_t(hit.offsetMs) - int64_t(a.offsetMs));
        best_[recording] = hit;
    }
}

std::vector<NearHit> NearHits::Hits() const {
    std::vector<NearHit> hits;
    hits.reserve(best_.size());
    for (const auto& [recording, hit] : best_)
        hits.push_back(hit);
    std::sort(hits.begin(), hits.end(), [](const NearHit& a, const NearHit& b) {
        return a.distanceM != b.distanceM ? a.distanceM < b.distanceM : a.utcMs < b.utcMs;
    });
    return hits;
}

std::vector<NearHit> RecordingsNear(const std::vector<IndexedRecording>& recordings,
                                    double latitude, double longitude, double radiusM) {
    NearHits hits(latitude, longitude, radiusM);
    if (!hits.Asked())
        return {};
    const std::vector<bool> counted = CountedRecordings(recordings);
    for (size_t r = 0; r < recordings.size(); ++r)
        if (counted[r] && !recordings[r].points.empty())
            hits.OfferRun(int(r), recordings[r].points, 0, int(recordings[r].points.size()) - 1);
    return hits.Hits();
}
