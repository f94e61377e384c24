#pragma once
// The route of one recording or of a trip, in the units the export formats
// want: decimal degrees, UTC, g. Built from a loaded track, so the chunk and
// metadata variants look the same to every writer.
#include "recordings/GpsPoint.h"
#include "recordings/RecordingInfo.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class RecordingCatalog;

struct TripPoint {
    double latitude = 0;  // decimal degrees
    double longitude = 0; // decimal degrees
    bool hasAltitude = false;
    int32_t altitude = 0; // metres
    double speedKmh = 0;
    double courseDegrees = 0;
    bool hasTime = false;
    int64_t utcMs = 0; // milliseconds since 1970 UTC
    // utcMs is the record's own GPS time; otherwise the recording's start
    // plus the record's place, on the start time's scale.
    bool ownTime = false;
};

struct TripSample {
    double offsetMs = 0;        // from the start of the recording
    double x = 0, y = 0, z = 0; // g
};

struct TripRecording {
    QString fileName;
    std::vector<TripPoint> points;
    std::vector<TripSample> samples;
};

struct Trip {
    // The recording that names the output files (the first one).
    RecordingFile first;
    std::vector<TripRecording> recordings;
};

// The record's own date and time, the camera's local clock read as the
// start time is, in ms since 1970 UTC; false when the record holds none.
bool GpsPointTime(const GpsPoint& p, int64_t* utcMs);

// The record's own instant in ms since 1970 UTC, whatever this computer's
// zone: chunk records keep the GPS receiver's UTC; metadata records were
// moved to the zone of their own position when decoded, which is undone
// here. False when the record holds no time.
bool GpsPointUtc(const GpsPoint& p, int32_t variant, int64_t* utcMs);

// The catalog's GPS point at the index in export form (decimal degrees
// whatever the variant) when it has a fix and lies on Earth; false otherwise.
bool ExportablePoint(const RecordingCatalog& catalog, int index, TripPoint* out);

// The export form of the catalog's loaded track (its current file). Points
// without a fix or with coordinates that cannot be on Earth are left out.
TripRecording TripRecordingOfLoadedTrack(const RecordingCatalog& catalog);

// Loads one listed recording in a catalog of its own, so that the viewer's
// current track and map stay as they are; false when it cannot be read.
bool LoadTripRecording(const RecordingFile& file, TripRecording* out);

// The files of the groups `takeGroup` accepts (by group index), in list
// order; a rear file whose front partner exists is left out, so that each
// moment is counted once.
std::vector<int> MomentFileIndices(const RecordingCatalog& catalog,
                                   const std::function<bool(int group)>& takeGroup);

// Those of the chosen groups.
std::vector<int> TripFileIndices(const RecordingCatalog& catalog);

// The trip of the given files; false when one of them cannot be read.
bool LoadTrip(const RecordingCatalog& catalog, const std::vector<int>& fileIndices, Trip* trip);
