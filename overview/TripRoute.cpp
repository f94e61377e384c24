#include "overview/TripRoute.h"

#include "overview/GeoMath.h"

std::vector<RouteStop> TripRoute(const std::vector<IndexedRecording>& recordings,
                                 const TripSummary& trip) {
    std::vector<RouteStop> route;
    for (int r : trip.recordings) {
        if (r < 0 || size_t(r) >= recordings.size())
            continue;
        const int n = int(recordings[size_t(r)].points.size());
        for (int p = 0; p < n; ++p)
            route.push_back({r, p});
    }
    return route;
}

RouteStop NearestStop(const std::vector<IndexedRecording>& recordings,
                      const std::vector<RouteStop>& route, double latitude, double longitude) {
    RouteStop best;
    double bestM = 0;
    for (const RouteStop& s : route) {
        const IndexedPoint& p = recordings[size_t(s.recording)].points[size_t(s.point)];
        const double d = GroundDistanceM(latitude, longitude, p.latitude, p.longitude);
        if (best.recording < 0 || d < bestM) {
            best = s;
            bestM = d;
        }
    }
    return best;
}

int TripOfRecording(const std::vector<TripSummary>& trips, int recording) {
    for (size_t t = 0; t < trips.size(); ++t)
        for (int r : trips[t].recordings)
            if (r == recording)
                return int(t);
    return -1;
}

uint32_t PlayOffsetForEvent(uint32_t eventOffsetMs) {
    constexpr uint32_t kLeadUpMs = 5000;
    return eventOffsetMs > kLeadUpMs ? eventOffsetMs - kLeadUpMs : 0;
}
