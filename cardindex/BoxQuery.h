#pragma once
// "Which recordings passed through this box?": one rule for every caller (the
// index's R*Tree, a walk over plain answers, the overview's map and list).
#include "cardindex/CardIndexTypes.h"

#include <map>
#include <vector>

// A box of latitudes and longitudes in degrees. A west edge east of the east
// edge is a box across the 180th meridian.
struct GeoBox {
    double south = 0, west = 0, north = 0, east = 0;

    // The box between two corners as a web map gives them: its longitudes
    // run on past ±180 when the map is panned round the globe, so they are
    // brought back, and a box wider than the globe is all of it.
    static GeoBox FromCorners(double lat1, double lon1, double lat2, double lon2);

    bool SpansTheMeridian() const { return west > east; }
    bool Contains(double latitude, double longitude) const;
    double MiddleLatitude() const;
    double MiddleLongitude() const;
};

// Gathers, per recording, the fix inside the box nearest to its middle: the
// recording's moment there and its distance from the middle.
class BoxHits {
  public:
    explicit BoxHits(const GeoBox& box) : box_(box) {}
    // A fix of recording `recording`; ignored unless it lies inside the box.
    void Offer(int recording, const IndexedPoint& point);
    // Nearest the middle first; of equal distance, the earlier.
    std::vector<NearHit> Hits() const;

  private:
    GeoBox box_;
    std::map<int, NearHit> best_; // by recording
};

// Every recording with a fix inside the box, by walking all their fixes.
std::vector<NearHit> RecordingsInBox(const std::vector<IndexedRecording>& recordings,
                                     const GeoBox& box);
