#pragma once
// The sums "when was I here?" needs over the whole globe: boxes of latitude
// and longitude that hold every place within a reach, also over a pole or
// across the 180th meridian, and the place on a short step nearest another.
// Positions are taken as on a sphere here; the reach is given generously,
// so the ellipsoid's distance (measured afterwards) decides.

struct GlobeBox {
    double south = 0, north = 0; // within -90..90
    // West to east; west may lie below -180 or east above 180 (a box across
    // the 180th meridian). A span of 360 holds every longitude.
    double west = 0, east = 0;

    bool AllLongitudes() const { return east - west >= 360; }
};

// The arc, in degrees, that holds every place within `metres` on the
// ellipsoid, with a margin.
double ReachDegrees(double metres);

// The box holding every place within `reachDegrees` of arc of some place in
// `box`; past a pole it takes every longitude.
GlobeBox Grow(const GlobeBox& box, double reachDegrees);

// The arc between two places, in degrees.
double ArcDegrees(double lat1, double lon1, double lat2, double lon2);

// Where on the shorter arc from a to b the place p is nearest, as a share
// of the arc (0 at a, 1 at b), and the arc from p to there in degrees.
struct NearestOnArc {
    double share = 0;
    double arcDegrees = 0;
};
NearestOnArc Nearest(double latP, double lonP, double latA, double lonA, double latB, double lonB);

// The least distance on the ellipsoid an arc of that many degrees can be.
double LeastMetres(double arcDegrees);
