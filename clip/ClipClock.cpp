#include "clip/ClipClock.h"

#include "recordings/RecordingCatalog.h"
#include "recordings/TripModel.h"

#include <cmath>

bool CameraClockOffset(const RecordingFile& file, int64_t* offsetMs) {
    if (file.info.startTime == 0)
        return false;
    RecordingCatalog scratch;
    scratch.files.push_back(file);
    if (!scratch.LoadTrack(0))
        return false;
    const double rate = scratch.gpsRate > 0 ? scratch.gpsRate : 1.0;
    for (int i = 0; i < scratch.GpsPointCount(); ++i) {
        int64_t utcMs = 0;
        if (!GpsPointUtc(scratch.GpsPointAt(i), scratch.CurrentVariant(), &utcMs))
            continue;
        // Records keep whole seconds, so the offset is known to a second.
        const int64_t cameraMs = file.info.startTime * 1000 + std::llround(i * 1000.0 / rate);
        *offsetMs = std::llround((utcMs - cameraMs) / 1000.0) * 1000;
        return true;
    }
    return false;
}
