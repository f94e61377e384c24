#include "recordings/TripModel.h"

#include "recordings/CameraPairing.h"
#include "recordings/RecordingCatalog.h"

#include <algorithm>
#include <cmath>

namespace {

// The curve reads each axis from the low byte of the stored value.
double AxisG(int16_t raw, double fullScale) {
    return double(int8_t(uint8_t(raw & 0xFF))) * fullScale / 128.0;
}

} // namespace

TripRecording TripRecordingOfLoadedTrack(const RecordingCatalog& catalog) {
    TripRecording out;
    const RecordingFile* current = catalog.CurrentRecording();
    if (!current)
        return out;
    const RecordingFile& file = *current;
    const RecordingInfo& info = file.info;
    out.fileName = file.fileName;
    const double trackRate = catalog.CurrentTrack().gpsRate;
    const double rate = trackRate > 0 ? trackRate : 1.0;

    // Records keep whole seconds; several a second repeat one time, so the
    // k-th repeat lies k / rate seconds after it.
    int64_t lastOwnMs = -1;
    int repeats = 0;
    const int count = catalog.GpsPointCount();
    for (int i = 0; i < count; ++i) {
        GpsFix point = catalog.FixAt(i);
        const bool ownTime = point.hasTime;
        repeats = ownTime && point.utcMs == lastOwnMs ? repeats + 1 : 0;
        if (ownTime)
            lastOwnMs = point.utcMs;
        if (!point.OnGlobe())
            continue;
        if (ownTime) {
            point.utcMs += std::min<int64_t>(std::llround(repeats * 1000.0 / rate), 999);
        } else if (info.startTime != 0) {
            point.hasTime = true;
            point.utcMs = info.StartMs() + int64_t(std::llround(i * 1000.0 / rate));
        }
        out.points.push_back(point);
    }

    const int samples = catalog.GSensorSampleCount();
    const double fullScale = info.gsensorParams[1] ? info.gsensorParams[1] : 8.0;
    double perMs = 0;
    if (info.gsensorParams[0])
        perMs = info.gsensorParams[0] / 1000.0;
    else if (info.durationMs)
        perMs = double(samples) / info.durationMs;
    for (int i = 0; i < samples; ++i) {
        const GSensorSample s = catalog.GSensorSampleAt(i);
        out.samples.push_back({perMs > 0 ? i / perMs : 0.0, AxisG(s.x, fullScale),
                               AxisG(s.y, fullScale), AxisG(s.z, fullScale)});
    }
    return out;
}

bool LoadTripRecording(const RecordingFile& file, TripRecording* out) {
    RecordingCatalog scratch;
    scratch.ListFiles({file});
    if (!scratch.LoadTrack(0))
        return false;
    *out = TripRecordingOfLoadedTrack(scratch);
    return true;
}

std::vector<int> MomentFileIndices(const RecordingCatalog& catalog,
                                   const std::function<bool(int group)>& takeGroup) {
    std::vector<int> indices;
    for (size_t g = 0; g < catalog.Groups().size(); ++g) {
        const RecordingGroup& group = catalog.Groups()[g];
        if (!takeGroup(int(g)))
            continue;
        for (int i = group.firstFile; i < group.firstFile + group.fileCount; ++i) {
            if (i < 0 || size_t(i) >= catalog.Files().size())
                continue;
            // The metadata naming rule gives a path without "R" back as it is.
            const QString path = catalog.GetFilePath(i);
            const QString front = IsRearCameraPath(path) ? FrontPathFor(path) : QString();
            if (!front.isEmpty() && front != path)
                continue;
            indices.push_back(i);
        }
    }
    return indices;
}

std::vector<int> TripFileIndices(const RecordingCatalog& catalog) {
    return MomentFileIndices(catalog, [&](int g) { return catalog.Groups()[size_t(g)].chosen; });
}

bool LoadTrip(const RecordingCatalog& catalog, const std::vector<int>& fileIndices, Trip* trip,
              QString* failedPath) {
    trip->recordings.clear();
    const auto failed = [&](const QString& path) {
        if (failedPath)
            *failedPath = path;
        return false;
    };
    for (int index : fileIndices) {
        if (index < 0 || size_t(index) >= catalog.Files().size())
            return failed(QString());
        const RecordingFile& file = catalog.Files()[size_t(index)];
        if (trip->recordings.empty())
            trip->first = file;
        TripRecording recording;
        if (!LoadTripRecording(file, &recording))
            return failed(file.Path());
        trip->recordings.push_back(std::move(recording));
    }
    return !trip->recordings.empty() || failed(QString());
}
