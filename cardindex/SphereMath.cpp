#include "cardindex/SphereMath.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRadian = 180 / kPi;
// The ellipsoid's least radius of curvature (b²/a, along the meridian at
// the equator), in metres a degree.
constexpr double kLeastMetresPerDegree = 110574.0;

struct Vec {
    double x, y, z;
};

Vec Unit(double lat, double lon) {
    const double f = lat / kRadian, l = lon / kRadian;
    return {std::cos(f) * std::cos(l), std::cos(f) * std::sin(l), std::sin(f)};
}

double Dot(const Vec& a, const Vec& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec Cross(const Vec& a, const Vec& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double Norm(const Vec& a) {
    return std::sqrt(Dot(a, a));
}

Vec Scaled(const Vec& a, double k) {
    return {a.x * k, a.y * k, a.z * k};
}

// Degrees between two unit vectors, exact also for tiny and wide angles.
double Angle(const Vec& a, const Vec& b) {
    return std::atan2(Norm(Cross(a, b)), Dot(a, b)) * kRadian;
}

} // namespace

double ReachDegrees(double metres) {
    return metres / kLeastMetresPerDegree * 1.01 + 1e-6;
}

double LeastMetres(double arcDegrees) {
    // A sphere's arc against the ellipsoid's geodesic between the same
    // latitudes and longitudes: never shorter than this, with room to spare.
    return arcDegrees * kLeastMetresPerDegree * 0.995;
}

GlobeBox Grow(const GlobeBox& box, double reach) {
    GlobeBox out;
    out.south = box.south - reach;
    out.north = box.north + reach;
    if (reach >= 180 || out.north >= 90 || out.south <= -90) {
        // A pole is inside: every longitude.
        out.south = std::max(-90.0, out.south);
        out.north = std::min(90.0, out.north);
        out.west = -180;
        out.east = 180;
        return out;
    }
    // The widest a circle of that arc reaches in longitude, from the box's
    // latitude nearest a pole (below 1, since the pole lies outside).
    const double edge = std::max(std::abs(box.south), std::abs(box.north)) / kRadian;
    const double ratio = std::min(1.0, std::sin(reach / kRadian) / std::cos(edge));
    const double wide = std::asin(ratio) * kRadian * 1.0001 + 1e-9;
    out.west = box.west - wide;
    out.east = box.east + wide;
    if (out.east - out.west >= 360) {
        out.west = -180;
        out.east = 180;
    }
    return out;
}

double ArcDegrees(double lat1, double lon1, double lat2, double lon2) {
    return Angle(Unit(lat1, lon1), Unit(lat2, lon2));
}

NearestOnArc Nearest(double latP, double lonP, double latA, double lonA, double latB, double lonB) {
    const Vec p = Unit(latP, lonP), a = Unit(latA, lonA), b = Unit(latB, lonB);
    NearestOnArc out;
    out.arcDegrees = Angle(p, a);
    const Vec normal = Cross(a, b);
    const double sine = Norm(normal);
    const double arc = std::atan2(sine, Dot(a, b)) * kRadian;
    if (sine < 1e-15) // one place twice
        return out;
    const Vec n = Scaled(normal, 1 / sine);
    // p moved onto the arc's great circle, if it is not one of its poles.
    const double off = Dot(p, n);
    Vec q = {p.x - n.x * off, p.y - n.y * off, p.z - n.z * off};
    const double length = Norm(q);
    if (length > 1e-15) {
        q = Scaled(q, 1 / length);
        if (Dot(Cross(a, q), n) >= 0 && Dot(Cross(q, b), n) >= 0) {
            out.share = std::clamp(Angle(a, q) / arc, 0.0, 1.0);
            out.arcDegrees = Angle(p, q);
            return out;
        }
    }
    const double toB = Angle(p, b);
    if (toB < out.arcDegrees) {
        out.share = 1;
        out.arcDegrees = toB;
    }
    return out;
}
