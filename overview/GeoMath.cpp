#include "overview/GeoMath.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kEarthRadiusM = 6371008.8;
constexpr double kPi = 3.14159265358979323846;
constexpr double kRad = kPi / 180.0;
} // namespace

double GroundDistanceM(double lat1, double lon1, double lat2, double lon2) {
    double dLon = lon2 - lon1;
    // Across the antimeridian the short way round.
    if (dLon > 180)
        dLon -= 360;
    else if (dLon < -180)
        dLon += 360;
    const double x = dLon * kRad * std::cos((lat1 + lat2) * 0.5 * kRad);
    const double y = (lat2 - lat1) * kRad;
    return kEarthRadiusM * std::sqrt(x * x + y * y);
}

double MetresPerPixel(double latitude, int zoom) {
    // 256-pixel tiles over the equator's length at zoom 0.
    return 2 * kPi * 6378137.0 * std::cos(latitude * kRad) / (256.0 * std::ldexp(1.0, zoom));
}

WorldPixel WorldPixelOf(double latitude, double longitude, int zoom) {
    constexpr double kMaxLatitude = 85.0511287798;
    const double size = 256.0 * std::ldexp(1.0, zoom);
    const double phi = std::clamp(latitude, -kMaxLatitude, kMaxLatitude) * kRad;
    return {size * (longitude / 360.0 + 0.5),
            size * (0.5 - std::log(std::tan(kPi / 4 + phi / 2)) / (2 * kPi))};
}

int FitZoom(double south, double west, double north, double east, int width, int height,
            int padding, int maxZoom) {
    const WorldPixel nw = WorldPixelOf(north, west, 0), se = WorldPixelOf(south, east, 0);
    const double scale = std::min(double(width - 2 * padding) / std::abs(se.x - nw.x),
                                  double(height - 2 * padding) / std::abs(se.y - nw.y));
    if (!(scale > 0))
        return 0;
    if (std::isinf(scale))
        return maxZoom; // a single place
    // A level within a hundredth of a step counts as reached, as the map's
    // own snapping does.
    const double zoom = std::floor(std::round(std::log2(scale) * 100) / 100);
    return int(std::clamp(zoom, 0.0, double(maxZoom)));
}
