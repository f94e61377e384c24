#pragma once
// The route of one recording or of a trip, in the units the export formats
// want: the track's fixes on the globe, each with its instant in UTC, and
// samples in g.
#include "recordings/GpsFix.h"
#include "recordings/RecordingInfo.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class RecordingCatalog;

struct TripSample {
    double offsetMs = 0;        // from the start of the recording
    double x = 0, y = 0, z = 0; // g
};

struct TripRecording {
    QString fileName;
    // Only fixes on the globe, each with a time when one is known: its own,
    // spread over the records that repeat one second, else the start plus
    // its place in the track.
    std::vector<GpsFix> points;
    std::vector<TripSample> samples;
};

struct Trip {
    // The recording that names the output files (the first one).
    RecordingFile first;
    std::vector<TripRecording> recordings;
};

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

// The trip of the given files; false when one of them cannot be read, its
// path in *failedPath ("" when no file was given).
bool LoadTrip(const RecordingCatalog& catalog, const std::vector<int>& fileIndices, Trip* trip,
              QString* failedPath = nullptr);
