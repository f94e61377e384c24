#pragma once
// One recording's GPS fixes and G-sensor samples, read alike for both
// variants. A value: whoever shows a track asks for one and draws it.
#include "recordings/GpsFix.h"
#include "recordings/GpsPoint.h"
#include "recordings/RecordingInfo.h"

#include <QString>
#include <cstdint>
#include <vector>

class Track {
  public:
    int32_t variant = kChunkVariant;
    // One fix per stored record, in file order, each decoded once.
    std::vector<GpsFix> fixes;
    // The samples as stored, in the camera's raw units.
    std::vector<GSensorSample> samples;
    double gpsRate = 1.0; // points per second
    // A metadata-track recording draws a route only when its records were
    // found and decoded; a chunk recording always does.
    bool drawsRoute = false;
    // The file could not be read (a card pulled out, a file gone): no route.
    bool readFailed = false;

    int PointCount() const { return int(fixes.size()); }
    // Replaces the fixes by those of stored records of this track's variant.
    void SetRecords(const std::vector<GpsPoint>& records);
    void AppendRecord(const GpsPoint& record);
    // The form this variant stores coordinates in, for the designed calls
    // that take them so.
    StoredCoordinates StoredForm() const { return StoredCoordinatesOf(variant); }

    // Where the car is at the fix at i, in decimal degrees; false when it
    // cannot be drawn. A fix without a position puts the car at the origin,
    // as the camera's own player does; a damaged record never reaches a page.
    bool CarAt(int i, double* latitude, double* longitude) const;

    // The point shown at a play time, and the earliest play time that shows
    // a point (-1 for none): the one place time and index meet.
    int IndexAt(int64_t timeMs) const { return IndexAt(timeMs, gpsRate); }
    int64_t TimeOfIndex(int index) const { return TimeOfIndex(index, gpsRate); }
    static int IndexAt(int64_t timeMs, double rate);
    static int64_t TimeOfIndex(int index, double rate);

    // The indices of the fixes among the first count that the route lines
    // pass through.
    std::vector<int> RouteIndices(size_t count) const;
    // Those of the whole route line (none when the track draws no route).
    std::vector<int> RouteLine() const;
    // The index of the fix of the k-th point of the route line; -1 for none.
    int RoutePointIndex(int routePoint) const;
};

// The GPS records and samples of the recording at path as the file stores
// them (a metadata track decoded into the same record layout): what a dump
// of the file shows. Positions and times are read from ReadTrack's fixes.
struct StoredTrack {
    int32_t variant = kChunkVariant;
    std::vector<GpsPoint> records;
    std::vector<GSensorSample> samples;
    double gpsRate = 1.0;
    bool drawsRoute = false;
    bool readFailed = false;
};
StoredTrack ReadStoredTrack(const QString& path, const RecordingInfo& info);

// Reads the track of the recording at path.
Track ReadTrack(const QString& path, const RecordingInfo& info);
