#include "map/RoutePlottingIndex.h"

#include "map/RoutePlottingMath.h"
#include "recordings/RecordingCatalog.h"

int RoutePointGpsIndex(const RecordingCatalog& catalog, int routePoint) {
    if (routePoint < 0 || catalog.currentFile < 0 ||
        size_t(catalog.currentFile) >= catalog.files.size())
        return -1;
    const RecordingInfo& info = catalog.files[size_t(catalog.currentFile)].info;
    const int count = catalog.GpsPointCount();
    int sent = -1;
    if (info.variant == kChunkVariant) {
        for (int i = 0; i < count; ++i)
            if (IsPlottableChunkPoint(catalog.GpsPointAt(i)) && ++sent == routePoint)
                return i;
    } else if (info.variant == kMetadataTrackVariant && !info.metaChunks.empty()) {
        // A point is sent only when both coordinates moved from the last one sent.
        double latitude = 0, longitude = 0;
        for (int i = 0; i < count; ++i) {
            const GpsPoint p = catalog.GpsPointAt(i);
            if (!p.HasFix() || p.latitude == latitude || p.longitude == longitude)
                continue;
            latitude = p.latitude;
            longitude = p.longitude;
            if (++sent == routePoint)
                return i;
        }
    }
    return -1;
}
