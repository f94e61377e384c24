#include "overview/OverviewData.h"

#include "overview/GeoMath.h"

#include <algorithm>

std::vector<NearHit> OverviewValues::Near(double latitude, double longitude, double radiusM) const {
    std::vector<NearHit> hits;
    for (size_t r = 0; r < recordings.size(); ++r) {
        NearHit best;
        best.distanceM = radiusM;
        bool found = false;
        for (const IndexedPoint& p : recordings[r].points) {
            const double d = GroundDistanceM(latitude, longitude, p.latitude, p.longitude);
            if (d <= best.distanceM) {
                best = {int(r), p.offsetMs, p.utcMs, d};
                found = true;
            }
        }
        if (found)
            hits.push_back(best);
    }
    std::sort(hits.begin(), hits.end(),
              [](const NearHit& a, const NearHit& b) { return a.distanceM < b.distanceM; });
    return hits;
}
