#include "recordings/NmeaCoordinates.h"
#include "recordings/RecordingCatalog.h"
#include "recordings/RoutePlottingMath.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

// Metadata-track points repeat often while the car stands; a point is drawn
// only when both coordinates moved away from the last drawn one.
struct MovedFilter {
    double latitude = 0;
    double longitude = 0;
    bool Accept(const GpsPoint& p) {
        if (!p.HasFix() || p.latitude == latitude || p.longitude == longitude ||
            !IsPlausiblePosition(p.latitude, p.longitude))
            return false;
        latitude = p.latitude;
        longitude = p.longitude;
        return true;
    }
};

// Sends the points to the page in a few batch calls.
void SendBatches(MapView* map, const char* function, const std::vector<RoutePoint>& route) {
    std::vector<double> latLon;
    latLon.reserve(2 * route.size());
    for (const RoutePoint& p : route) {
        latLon.push_back(p.latitude);
        latLon.push_back(p.longitude);
    }
    for (const QString& script : PlotBatchScripts(function, latLon))
        map->RunScript(script);
}

} // namespace

std::vector<RoutePoint> RecordingCatalog::RoutePoints(size_t count) const {
    std::vector<RoutePoint> route;
    const size_t n = std::min(count, size_t(GpsPointCount()));
    route.reserve(n);
    if (CurrentVariant() == kChunkVariant) {
        for (size_t i = 0; i < n; ++i) {
            const GpsPoint p = GpsPoint::FromBytes(gpsBlock.data() + i * GpsPoint::kSize);
            if (IsPlottableChunkPoint(p))
                route.push_back({int(i), NmeaToDegrees(p.latitude), NmeaToDegrees(p.longitude)});
        }
        return route;
    }
    MovedFilter moved;
    for (size_t i = 0; i < n; ++i)
        if (moved.Accept(points[i]))
            route.push_back({int(i), points[i].latitude, points[i].longitude});
    return route;
}

// A metadata-track recording has a route only when its records were found
// and decoded.
bool RecordingCatalog::DrawsRoute() const {
    const RecordingFile* file = CurrentRecording();
    if (!file || file->info.variant == kChunkVariant)
        return file != nullptr;
    return file->info.variant == kMetadataTrackVariant && !file->info.metaChunks.empty() &&
           !points.empty();
}

std::vector<RoutePoint> RecordingCatalog::RouteLine() const {
    return DrawsRoute() ? RoutePoints(size_t(GpsPointCount())) : std::vector<RoutePoint>();
}

void RecordingCatalog::PlotRoute() {
    if (!mapWindow || !DrawsRoute())
        return;
    SendBatches(mapWindow, kPathPlotBatch, RouteLine());
    if (CurrentVariant() != kMetadataTrackVariant)
        return;
    // The car starts at the first point even without a fix there, but never
    // off the globe.
    const GpsPoint& first = points.front();
    if (IsPlausiblePosition(first.latitude, first.longitude))
        mapWindow->MovePosition(first.latitude, true, first.longitude);
}

int RecordingCatalog::PlotDrivenTo(uint32_t t) {
    if (gpsRate == 0)
        gpsRate = 1.0;
    if (files.empty())
        return 0;
    // Checked before the busy mark is set, so a bad index cannot leave the
    // playback tick blocked.
    if (!CurrentRecording())
        throw std::out_of_range("RecordingCatalog::PlotDrivenTo: no current file");
    plotting = 1;
    if (mapWindow) {
        mapWindow->RunScript(kDrivenDeleteScript);
        const size_t n = size_t(std::trunc(double(t) * gpsRate / 1000.0));
        SendBatches(mapWindow, kDrivenPlotBatch, RoutePoints(n));
    }
    plotting = 0;
    return 1;
}
