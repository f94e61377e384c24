#include "overview/LineSimplify.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr double kRad = 3.14159265358979323846 / 180.0;
constexpr double kEarthRadiusM = 6371008.8;

struct Xy {
    double x, y;
};

double SegmentDistance(const Xy& p, const Xy& a, const Xy& b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
    return std::sqrt(ex * ex + ey * ey);
}

} // namespace

std::vector<size_t> SimplifyLine(const std::vector<GeoVertex>& line, double toleranceM) {
    std::vector<size_t> kept;
    const size_t n = line.size();
    if (n <= 2 || toleranceM <= 0) {
        for (size_t i = 0; i < n; ++i)
            kept.push_back(i);
        return kept;
    }
    // Metres on a plane around the line's middle latitude; a drive's extent
    // keeps the error far below a pixel.
    const double lat0 = line[n / 2].latitude;
    const double lon0 = line[n / 2].longitude;
    const double scaleX = std::cos(lat0 * kRad) * kRad * kEarthRadiusM;
    std::vector<Xy> xy(n);
    for (size_t i = 0; i < n; ++i) {
        double dLon = line[i].longitude - lon0;
        if (dLon > 180)
            dLon -= 360;
        else if (dLon < -180)
            dLon += 360;
        xy[i] = {dLon * scaleX, (line[i].latitude - lat0) * kRad * kEarthRadiusM};
    }
    std::vector<char> keep(n, 0);
    keep[0] = keep[n - 1] = 1;
    // An explicit stack: hundreds of thousands of points would overflow a
    // recursion on a straight road.
    std::vector<std::pair<size_t, size_t>> spans{{0, n - 1}};
    while (!spans.empty()) {
        const auto [first, last] = spans.back();
        spans.pop_back();
        double worst = -1;
        size_t worstAt = first;
        for (size_t i = first + 1; i < last; ++i) {
            const double d = SegmentDistance(xy[i], xy[first], xy[last]);
            if (d > worst) {
                worst = d;
                worstAt = i;
            }
        }
        if (worst > toleranceM) {
            keep[worstAt] = 1;
            spans.push_back({first, worstAt});
            spans.push_back({worstAt, last});
        }
    }
    for (size_t i = 0; i < n; ++i)
        if (keep[i])
            kept.push_back(i);
    return kept;
}
