#include "recordings/Track.h"

#include "platform/RegularFile.h"
#include "recordings/MetadataRecord.h"
#include "recordings/NmeaCoordinates.h"

#include <QFile>
#include <algorithm>
#include <cmath>

namespace {

// A block is read only when it lies wholly inside the file.
bool InsideFile(uint64_t offset, uint32_t size, qint64 fileLength) {
    return size != 0 && fileLength >= 0 && offset <= uint64_t(fileLength) &&
           size <= uint64_t(fileLength) - offset;
}

template <typename Record>
bool ReadRecords(QFile& file, uint64_t offset, uint32_t size, std::vector<Record>* out) {
    if (!InsideFile(offset, size, file.size()))
        return false;
    std::vector<uint8_t> block(size);
    if (!file.seek(qint64(offset)) ||
        file.read(reinterpret_cast<char*>(block.data()), size) != size)
        return false;
    const size_t n = block.size() / Record::kSize;
    out->reserve(n);
    for (size_t i = 0; i < n; ++i)
        out->push_back(Record::FromBytes(block.data() + i * Record::kSize));
    return true;
}

StoredTrack ReadChunkRecords(const QString& path, const RecordingInfo& info) {
    StoredTrack track;
    track.variant = kChunkVariant;
    track.drawsRoute = true;
    QFile file(path);
    if (!RegularFile::Open(file)) {
        track.readFailed = true;
        return track;
    }
    ReadRecords(file, info.gsensorOffset, info.gsensorSize, &track.samples);
    if (ReadRecords(file, info.gpsOffset, info.gpsSize, &track.records))
        track.gpsRate = info.gpsParams[0] ? info.gpsParams[0] : 1.0;
    return track;
}

StoredTrack ReadMetadataRecords(const QString& path, const RecordingInfo& info) {
    StoredTrack track;
    track.variant = kMetadataTrackVariant;
    QFile reader;
    track.readFailed =
        !MetadataRecord::DecodeAll(reader, path, info.metaChunks, &track.records, &track.samples);
    track.drawsRoute = !info.metaChunks.empty() && !track.records.empty();
    if (track.drawsRoute)
        track.gpsRate = info.gpsParams[0] ? info.gpsParams[0] : 5.0;
    return track;
}

// Metadata-track points repeat often while the car stands; a point is drawn
// only when both coordinates moved away from the last drawn one.
struct MovedFilter {
    double latitude = 0;
    double longitude = 0;
    bool Accept(const GpsFix& p) {
        if (!p.hasFix || p.latitude == latitude || p.longitude == longitude ||
            !IsPlausiblePosition(p.latitude, p.longitude))
            return false;
        latitude = p.latitude;
        longitude = p.longitude;
        return true;
    }
};

} // namespace

StoredTrack ReadStoredTrack(const QString& path, const RecordingInfo& info) {
    switch (info.variant) {
    case kChunkVariant:
        return ReadChunkRecords(path, info);
    case kMetadataTrackVariant:
        return ReadMetadataRecords(path, info);
    default: {
        StoredTrack unknown;
        unknown.variant = info.variant;
        unknown.readFailed = true;
        return unknown;
    }
    }
}

Track ReadTrack(const QString& path, const RecordingInfo& info) {
    StoredTrack stored = ReadStoredTrack(path, info);
    Track track;
    track.variant = stored.variant;
    track.SetRecords(stored.records);
    track.samples = std::move(stored.samples);
    track.gpsRate = stored.gpsRate;
    track.drawsRoute = stored.drawsRoute;
    track.readFailed = stored.readFailed;
    return track;
}

void Track::SetRecords(const std::vector<GpsPoint>& records) {
    fixes.clear();
    fixes.reserve(records.size());
    for (const GpsPoint& record : records)
        AppendRecord(record);
}

void Track::AppendRecord(const GpsPoint& record) {
    fixes.push_back(DecodeFix(record, variant));
}

bool Track::CarAt(int i, double* latitude, double* longitude) const {
    if (i < 0 || i >= PointCount())
        return false;
    const GpsFix& p = fixes[size_t(i)];
    const double lat = p.hasFix ? p.latitude : 0;
    const double lon = p.hasFix ? p.longitude : 0;
    if (!IsPlausiblePosition(lat, lon))
        return false;
    *latitude = lat;
    *longitude = lon;
    return true;
}

int Track::IndexAt(int64_t timeMs, double rate) {
    return int(rate * double(timeMs) / 1000.0);
}

int64_t Track::TimeOfIndex(int index, double rate) {
    if (index < 0 || !(rate > 0))
        return -1;
    // The division may land a hair below the boundary; step to the first
    // time that IndexAt really maps to the index.
    int64_t t = int64_t(std::ceil(double(index) * 1000.0 / rate));
    while (t > 0 && IndexAt(t - 1, rate) >= index)
        --t;
    while (IndexAt(t, rate) < index)
        ++t;
    return t;
}

std::vector<int> Track::RouteIndices(size_t count) const {
    std::vector<int> route;
    const size_t n = std::min(count, fixes.size());
    route.reserve(n);
    if (variant == kChunkVariant) {
        // Every drawable chunk record is sent, repeats included.
        for (size_t i = 0; i < n; ++i)
            if (fixes[i].OnGlobe())
                route.push_back(int(i));
        return route;
    }
    MovedFilter moved;
    for (size_t i = 0; i < n; ++i)
        if (moved.Accept(fixes[i]))
            route.push_back(int(i));
    return route;
}

std::vector<int> Track::RouteLine() const {
    return drawsRoute ? RouteIndices(fixes.size()) : std::vector<int>();
}

int Track::RoutePointIndex(int routePoint) const {
    if (routePoint < 0)
        return -1;
    const std::vector<int> route = RouteLine();
    return size_t(routePoint) < route.size() ? route[size_t(routePoint)] : -1;
}
