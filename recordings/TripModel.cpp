#include "recordings/TripModel.h"

#include "recordings/CameraPairing.h"
#include "recordings/LocalTimeText.h"
#include "recordings/MetadataRecord.h"
#include "recordings/NmeaCoordinates.h"
#include "recordings/RecordingCatalog.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>

namespace {

// The curve reads each axis from the low byte of the stored value.
double AxisG(int16_t raw, double fullScale) {
    return double(int8_t(uint8_t(raw & 0xFF))) * fullScale / 128.0;
}

} // namespace

bool GpsPointTime(const GpsPoint& p, int64_t* utcMs) {
    if (p.year == 0 || p.month < 1 || p.month > 12 || p.day < 1 || p.day > 31 || p.hour > 23 ||
        p.minute > 59 || p.second > 59)
        return false;
    *utcMs = LocalToTime(2000 + p.year, p.month, p.day, p.hour, p.minute, p.second) * 1000;
    return true;
}

bool GpsPointUtc(const GpsPoint& p, int32_t variant, int64_t* utcMs) {
    if (p.year == 0 || p.month < 1 || p.month > 12 || p.day < 1 || p.day > 31 || p.hour > 23 ||
        p.minute > 59 || p.second > 59)
        return false;
    const QDate date(2000 + p.year, p.month, p.day);
    if (!date.isValid())
        return false;
    int64_t ms = QDateTime(date, QTime(p.hour, p.minute, p.second), Qt::UTC).toMSecsSinceEpoch();
    if (variant == kMetadataTrackVariant) {
        const int zone =
            std::max(-12, std::min(13, MetadataRecord::TimeZoneHours(p.latitude, p.longitude)));
        ms -= int64_t(zone) * 3600 * 1000;
    }
    *utcMs = ms;
    return true;
}

bool ExportablePoint(const RecordingCatalog& catalog, int index, TripPoint* out) {
    const GpsPoint p = catalog.GpsPointInDegreesAt(index);
    if (!p.HasFix() || !IsPlausiblePosition(p.latitude, p.longitude))
        return false;
    TripPoint point;
    point.latitude = p.latitude;
    point.longitude = p.longitude;
    // The metadata track stores no altitude; its 0 is not a reading.
    point.hasAltitude = catalog.CurrentVariant() == kChunkVariant;
    point.altitude = p.altitude;
    point.speedKmh = p.speed;
    point.courseDegrees = p.heading * 2.0;
    *out = point;
    return true;
}

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
        const GpsPoint p = catalog.GpsPointAt(i);
        int64_t ownMs = 0;
        const bool ownTime = GpsPointUtc(p, catalog.CurrentVariant(), &ownMs);
        repeats = ownTime && ownMs == lastOwnMs ? repeats + 1 : 0;
        if (ownTime)
            lastOwnMs = ownMs;
        TripPoint point;
        if (!ExportablePoint(catalog, i, &point))
            continue;
        if (ownTime) {
            point.hasTime = true;
            point.ownTime = true;
            point.utcMs = ownMs + std::min<int64_t>(std::llround(repeats * 1000.0 / rate), 999);
        } else if (info.startTime != 0) {
            point.hasTime = true;
            point.utcMs = info.startTime * 1000 + int64_t(std::llround(i * 1000.0 / rate));
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

bool LoadTrip(const RecordingCatalog& catalog, const std::vector<int>& fileIndices, Trip* trip) {
    trip->recordings.clear();
    for (int index : fileIndices) {
        if (index < 0 || size_t(index) >= catalog.Files().size())
            return false;
        const RecordingFile& file = catalog.Files()[size_t(index)];
        if (trip->recordings.empty())
            trip->first = file;
        TripRecording recording;
        if (!LoadTripRecording(file, &recording))
            return false;
        trip->recordings.push_back(std::move(recording));
    }
    return !trip->recordings.empty();
}
