#include "cardindex/TrackBlobs.h"

#include <cstring>

namespace {

constexpr int kPointBytes = 8 + 8 + 4 + 4 + 8 + 4;
constexpr int kEventBytes = 1 + 4 + 8 + 1 + 8 + 8 + 8;
constexpr int kFiguresBytes = 8 + 8 + 8 + 8;

template <typename T> void Append(QByteArray* out, T value) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    out->append(bytes, sizeof(T));
}

template <typename T> T Take(const char*& at) {
    T value;
    std::memcpy(&value, at, sizeof(T));
    at += sizeof(T);
    return value;
}

} // namespace

QByteArray PointBlob(const std::vector<IndexedPoint>& points) {
    QByteArray out;
    out.reserve(int(points.size()) * kPointBytes);
    for (const IndexedPoint& p : points) {
        Append(&out, p.latitude);
        Append(&out, p.longitude);
        Append(&out, p.speedKmh);
        Append(&out, p.headingDegrees);
        Append(&out, p.utcMs);
        Append(&out, p.offsetMs);
    }
    return out;
}

QByteArray EventBlob(const std::vector<DrivingEvent>& events) {
    QByteArray out;
    out.reserve(int(events.size()) * kEventBytes);
    for (const DrivingEvent& e : events) {
        Append(&out, uint8_t(e.kind));
        Append(&out, e.offsetMs);
        Append(&out, e.utcMs);
        Append(&out, uint8_t(e.hasPosition ? 1 : 0));
        Append(&out, e.latitude);
        Append(&out, e.longitude);
        Append(&out, e.peak);
    }
    return out;
}

QByteArray FiguresBlob(const TrackFigures& f) {
    QByteArray out;
    Append(&out, f.distanceM);
    Append(&out, f.movingM);
    Append(&out, f.movingMs);
    Append(&out, f.maxKmh);
    return out;
}

bool ReadPoints(const QByteArray& blob, std::vector<IndexedPoint>* out) {
    if (blob.size() % kPointBytes != 0)
        return false;
    const char* at = blob.constData();
    out->resize(size_t(blob.size() / kPointBytes));
    for (IndexedPoint& p : *out) {
        p.latitude = Take<double>(at);
        p.longitude = Take<double>(at);
        p.speedKmh = Take<float>(at);
        p.headingDegrees = Take<float>(at);
        p.utcMs = Take<int64_t>(at);
        p.offsetMs = Take<uint32_t>(at);
    }
    return true;
}

bool ReadEvents(const QByteArray& blob, std::vector<DrivingEvent>* out) {
    if (blob.size() % kEventBytes != 0)
        return false;
    const char* at = blob.constData();
    out->resize(size_t(blob.size() / kEventBytes));
    for (DrivingEvent& e : *out) {
        const uint8_t kind = Take<uint8_t>(at);
        if (kind > uint8_t(DrivingEventKind::CameraEvent))
            return false;
        e.kind = DrivingEventKind(kind);
        e.offsetMs = Take<uint32_t>(at);
        e.utcMs = Take<int64_t>(at);
        e.hasPosition = Take<uint8_t>(at) != 0;
        e.latitude = Take<double>(at);
        e.longitude = Take<double>(at);
        e.peak = Take<double>(at);
    }
    return true;
}

bool ReadFigures(const QByteArray& blob, TrackFigures* f) {
    if (blob.size() != kFiguresBytes)
        return false;
    const char* at = blob.constData();
    f->distanceM = Take<double>(at);
    f->movingM = Take<double>(at);
    f->movingMs = Take<int64_t>(at);
    f->maxKmh = Take<double>(at);
    return true;
}
