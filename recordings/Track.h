#pragma once
// One recording's GPS points and G-sensor samples, read alike for both
// variants. A value: whoever shows a track asks for one and draws it.
#include "recordings/GpsPoint.h"
#include "recordings/RecordingInfo.h"
#include "recordings/RoutePlottingMath.h"

#include <QString>
#include <cstdint>
#include <vector>

// Where the car is at one point: decimal degrees, and the stored form the
// map's older page types are sent unconverted (degrees + minutes / 100 for a
// chunk record, the degrees themselves for a metadata record).
struct CarPosition {
    double latitude = 0;
    double longitude = 0;
    double storedLatitude = 0;
    double storedLongitude = 0;
};

class Track {
  public:
    int32_t variant = kChunkVariant;
    // The points as stored: chunk coordinates in degrees * 100 + minutes,
    // metadata records already in decimal degrees and local time.
    std::vector<GpsPoint> stored;
    // The samples as stored, in the camera's raw units.
    std::vector<GSensorSample> samples;
    double gpsRate = 1.0; // points per second
    // A metadata-track recording draws a route only when its records were
    // found and decoded; a chunk recording always does.
    bool drawsRoute = false;
    // The file could not be read (a card pulled out, a file gone): no route.
    bool readFailed = false;

    int PointCount() const { return int(stored.size()); }
    // The point with its coordinates in decimal degrees.
    GpsPoint InDegreesAt(int i) const;
    // The car's place for the point at i; false when the point cannot be
    // drawn (no fix is still drawn; a damaged record never is).
    bool CarAt(int i, CarPosition* at) const;

    // The point shown at a play time, and the earliest play time that shows
    // a point (-1 for none): the one place time and index meet.
    int IndexAt(int64_t timeMs) const { return IndexAt(timeMs, gpsRate); }
    int64_t TimeOfIndex(int index) const { return TimeOfIndex(index, gpsRate); }
    static int IndexAt(int64_t timeMs, double rate);
    static int64_t TimeOfIndex(int index, double rate);

    // The points among the first count that the route lines pass through.
    std::vector<RoutePoint> RoutePoints(size_t count) const;
    // The whole route line (none when the track draws no route).
    std::vector<RoutePoint> RouteLine() const;
    // The GPS index of the k-th point of the route line; -1 for none.
    int RoutePointIndex(int routePoint) const;
};

// Reads the track of the recording at path.
Track ReadTrack(const QString& path, const RecordingInfo& info);
