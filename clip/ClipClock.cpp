#include "clip/ClipClock.h"

#include "recordings/Track.h"
#include "recordings/TripModel.h"

#include <cmath>

bool CameraClockOffset(const RecordingFile& file, int64_t* offsetMs) {
    if (file.info.startTime == 0)
        return false;
    const Track track = ReadTrack(file.Path(), file.info);
    if (track.readFailed)
        return false;
    const double rate = track.gpsRate > 0 ? track.gpsRate : 1.0;
    for (int i = 0; i < track.PointCount(); ++i) {
        int64_t utcMs = 0;
        if (!GpsPointUtc(track.stored[size_t(i)], track.variant, &utcMs))
            continue;
        // Records keep whole seconds, so the offset is known to a second.
        const int64_t cameraMs = file.info.startTime * 1000 + std::llround(i * 1000.0 / rate);
        *offsetMs = std::llround((utcMs - cameraMs) / 1000.0) * 1000;
        return true;
    }
    return false;
}
