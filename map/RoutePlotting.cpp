#include "map/RoutePlottingMath.h"
#include "recordings/NmeaCoordinates.h"
#include "recordings/RecordingCatalog.h"

#include <algorithm>
#include <cmath>

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

// Sends the collected points to the page in a few batch calls.
void SendBatches(MapView* map, const char* function, const std::vector<double>& latLon) {
    for (const QString& script : PlotBatchScripts(function, latLon))
        map->RunScript(script);
}

} // namespace

void RecordingCatalog::PlotRoute() {
    if (!mapWindow || currentFile < 0 || size_t(currentFile) >= files.size())
        return;
    const RecordingInfo& info = files[size_t(currentFile)].info;
    std::vector<double> route;
    if (info.variant == kChunkVariant) {
        const size_t count = gpsBlock.size() / GpsPoint::kSize;
        route.reserve(2 * count);
        for (size_t i = 0; i < count; ++i) {
            const GpsPoint p = GpsPoint::FromBytes(gpsBlock.data() + i * GpsPoint::kSize);
            if (IsPlottableChunkPoint(p)) {
                route.push_back(MinutesToDegrees(p.latitude / 100.0));
                route.push_back(MinutesToDegrees(p.longitude / 100.0));
            }
        }
        SendBatches(mapWindow, kPathPlotBatch, route);
    } else if (info.variant == kMetadataTrackVariant) {
        if (info.metaChunks.empty() || points.empty())
            return;
        route.reserve(2 * points.size());
        MovedFilter moved;
        for (const GpsPoint& p : points) {
            if (moved.Accept(p)) {
                route.push_back(p.latitude);
                route.push_back(p.longitude);
            }
        }
        SendBatches(mapWindow, kPathPlotBatch, route);
        // The car starts at the first point even without a fix there, but
        // never off the globe.
        const GpsPoint& first = points.front();
        if (IsPlausiblePosition(first.latitude, first.longitude))
            mapWindow->MovePosition(first.latitude, true, first.longitude);
    }
}

int RecordingCatalog::PlotDrivenTo(uint32_t t) {
    if (gpsRate == 0)
        gpsRate = 1.0;
    if (files.empty())
        return 0;
    // Looked up before the busy mark is set, so a bad index cannot leave the
    // playback tick blocked.
    const int32_t variant = files.at(size_t(currentFile)).info.variant;
    plotting = 1;
    size_t n = 0;
    if (variant == kChunkVariant || variant == kMetadataTrackVariant)
        n = size_t(std::trunc(double(t) * gpsRate / 1000.0));

    if (mapWindow) {
        mapWindow->RunScript(kDrivenDeleteScript);
        std::vector<double> driven;
        if (variant == kChunkVariant) {
            n = std::min(n, gpsBlock.size() / GpsPoint::kSize);
            driven.reserve(2 * n);
            for (size_t i = 0; i < n; ++i) {
                const GpsPoint p = GpsPoint::FromBytes(gpsBlock.data() + i * GpsPoint::kSize);
                if (IsPlottableChunkPoint(p)) {
                    driven.push_back(MinutesToDegrees(p.latitude / 100.0));
                    driven.push_back(MinutesToDegrees(p.longitude / 100.0));
                }
            }
        } else if (variant == kMetadataTrackVariant) {
            n = std::min(n, points.size());
            driven.reserve(2 * n);
            MovedFilter moved;
            for (size_t i = 0; i < n; ++i) {
                if (moved.Accept(points[i])) {
                    driven.push_back(points[i].latitude);
                    driven.push_back(points[i].longitude);
                }
            }
        }
        SendBatches(mapWindow, kDrivenPlotBatch, driven);
    }
    plotting = 0;
    return 1;
}
