#include "recordings/RoutePlottingIndex.h"

#include "recordings/RecordingCatalog.h"

int RoutePointGpsIndex(const RecordingCatalog& catalog, int routePoint) {
    if (routePoint < 0)
        return -1;
    const std::vector<RoutePoint> route = catalog.RouteLine();
    return size_t(routePoint) < route.size() ? route[size_t(routePoint)].index : -1;
}
