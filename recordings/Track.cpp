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

Track ReadChunkTrack(const QString& path, const RecordingInfo& info) {
    Track track;
    track.variant = kChunkVariant;
    track.drawsRoute = true;
    QFile file(path);
    if (!RegularFile::Open(file)) {
        track.readFailed = true;
        return track;
    }
    ReadRecords(file, info.gsensorOffset, info.gsensorSize, &track.samples);
    if (ReadRecords(file, info.gpsOffset, info.gpsSize, &track.stored))
        track.gpsRate = info.gpsParams[0] ? info.gpsParams[0] : 1.0;
    return track;
}

Track ReadMetadataTrack(const QString& path, const RecordingInfo& info) {
    Track track;
    track.variant = kMetadataTrackVariant;
    QFile reader;
    track.readFailed =
        !MetadataRecord::DecodeAll(reader, path, info.metaChunks, &track.stored, &track.samples);
    track.drawsRoute = !info.metaChunks.empty() && !track.stored.empty();
    if (track.drawsRoute)
        track.gpsRate = info.gpsParams[0] ? info.gpsParams[0] : 5.0;
    return track;
}

// Metadata-track points repeat often while the car stands; a point is drawn
// only when both coordinates moved away from the last drawn one.
struct MovedFilter {
    double latitude = 0;
    double longitude = 0;
    bool Accept(const GpsPoint& p) {
        if (!p.HasFix() || p.latitude == latitude || p.longitude == longitude ||
            !IsPlausiblePosition(p.latitude, p.longitude))
            return false;
        latitude = p.latitude;
        longitude = p.longitude;
        return true;
    }
};

} // namespace

Track ReadTrack(const QString& path, const RecordingInfo& info) {
    switch (info.variant) {
    case kChunkVariant:
        return ReadChunkTrack(path, info);
    case kMetadataTrackVariant:
        return ReadMetadataTrack(path, info);
    default: {
        Track unknown;
        unknown.variant = info.variant;
        unknown.readFailed = true;
        return unknown;
    }
    }
}

GpsPoint Track::InDegreesAt(int i) const {
    GpsPoint p = stored.at(size_t(i));
    if (variant == kChunkVariant) {
        p.latitude = NmeaToDegrees(p.latitude);
        p.longitude = NmeaToDegrees(p.longitude);
    }
    return p;
}

bool Track::CarAt(int i, CarPosition* at) const {
    if (i < 0 || i >= PointCount())
        return false;
    const GpsPoint& p = stored[size_t(i)];
    // A point without a fix puts the car at the origin, as the camera's own
    // player does.
    double lat = p.HasFix() ? p.latitude : 0;
    double lon = p.HasFix() ? p.longitude : 0;
    const bool chunk = variant == kChunkVariant;
    if (chunk) {
        lat /= 100;
        lon /= 100;
        if (lat >= 200 || lon >= 200)
            return false;
    }
    const double degLat = chunk ? MinutesToDegrees(lat) : lat;
    const double degLon = chunk ? MinutesToDegrees(lon) : lon;
    if (!IsPlausiblePosition(degLat, degLon))
        return false; // a damaged record never reaches the page
    *at = {degLat, degLon, lat, lon};
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

std::vector<RoutePoint> Track::RoutePoints(size_t count) const {
    std::vector<RoutePoint> route;
    const size_t n = std::min(count, stored.size());
    route.reserve(n);
    if (variant == kChunkVariant) {
        for (size_t i = 0; i < n; ++i) {
            const GpsPoint& p = stored[i];
            if (IsPlottableChunkPoint(p))
                route.push_back({int(i), NmeaToDegrees(p.latitude), NmeaToDegrees(p.longitude)});
        }
        return route;
    }
    MovedFilter moved;
    for (size_t i = 0; i < n; ++i)
        if (moved.Accept(stored[i]))
            route.push_back({int(i), stored[i].latitude, stored[i].longitude});
    return route;
}

std::vector<RoutePoint> Track::RouteLine() const {
    return drawsRoute ? RoutePoints(stored.size()) : std::vector<RoutePoint>();
}

int Track::RoutePointIndex(int routePoint) const {
    if (routePoint < 0)
        return -1;
    const std::vector<RoutePoint> route = RouteLine();
    return size_t(routePoint) < route.size() ? route[size_t(routePoint)].index : -1;
}
