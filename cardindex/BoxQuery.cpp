#include "cardindex/BoxQuery.h"

#include "cardindex/TripFigures.h"

#include <algorithm>
#include <cmath>

namespace {

// A longitude brought into -180..180.
double Normalized(double longitude) {
    const double wrapped = std::fmod(longitude + 180.0, 360.0);
    return (wrapped < 0 ? wrapped + 360.0 : wrapped) - 180.0;
}

} // namespace

GeoBox GeoBox::FromCorners(double lat1, double lon1, double lat2, double lon2) {
    GeoBox box;
    box.south = std::max(-90.0, std::min(lat1, lat2));
    box.north = std::min(90.0, std::max(lat1, lat2));
    const double west = std::min(lon1, lon2), east = std::max(lon1, lon2);
    if (!(east - west < 360)) {
        box.west = -180;
        box.east = 180;
        return box;
    }
    box.west = Normalized(west);
    box.east = Normalized(east);
    // An east edge on the meridian itself, reached from the west.
    if (box.east == -180 && east > west)
        box.east = 180;
    return box;
}

bool GeoBox::Contains(double latitude, double longitude) const {
    if (latitude < south || latitude > north)
        return false;
    return SpansTheMeridian() ? longitude >= west || longitude <= east
                              : longitude >= west && longitude <= east;
}

double GeoBox::MiddleLatitude() const {
    return (south + north) / 2;
}

double GeoBox::MiddleLongitude() const {
    const double width = east - west + (SpansTheMeridian() ? 360 : 0);
    return Normalized(west + width / 2);
}

void BoxHits::Offer(int recording, const IndexedPoint& point) {
    if (!box_.Contains(point.latitude, point.longitude))
        return;
    const double metres = GeodesicMetres(box_.MiddleLatitude(), box_.MiddleLongitude(),
                                         point.latitude, point.longitude);
    auto found = best_.find(recording);
    if (found == best_.end() || metres < found->second.distanceM ||
        (metres == found->second.distanceM && point.utcMs < found->second.utcMs))
        best_[recording] = {recording, point.offsetMs, point.utcMs, metres};
}

std::vector<NearHit> BoxHits::Hits() const {
    std::vector<NearHit> hits;
    for (const auto& [recording, hit] : best_)
        hits.push_back(hit);
    std::sort(hits.begin(), hits.end(), [](const NearHit& a, const NearHit& b) {
        return a.distanceM != b.distanceM ? a.distanceM < b.distanceM : a.utcMs < b.utcMs;
    });
    return hits;
}

std::vector<NearHit> RecordingsInBox(const std::vector<IndexedRecording>& recordings,
                                     const GeoBox& box) {
    BoxHits hits(box);
    for (size_t r = 0; r < recordings.size(); ++r)
        for (const IndexedPoint& p : recordings[r].points)
            hits.Offer(int(r), p);
    return hits.Hits();
}
