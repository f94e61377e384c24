#include "tools/synth/ChunkRecords.h"

#include <algorithm>
#include <cmath>

namespace synth {

double ToNmea(double degrees) {
    const double magnitude = std::fabs(degrees);
    const double whole = std::floor(magnitude);
    const double nmea = whole * 100 + (magnitude - whole) * 60;
    return degrees < 0 ? -nmea : nmea;
}

QDateTime RecordTime(const QDateTime& start, int index, int rate) {
    return start.addSecs(index / (rate > 0 ? rate : 1));
}

uint8_t HeadingUnits(double degrees) {
    double d = std::fmod(degrees, 360.0);
    if (d < 0)
        d += 360;
    return uint8_t(int(std::lround(d / 2)) % 180);
}

QByteArray GpsBlock(const std::vector<Fix>& fixes, const QDateTime& start, int rate) {
    QByteArray block(int(fixes.size() * GpsPoint::kSize), '\0');
    for (size_t i = 0; i < fixes.size(); ++i) {
        const Fix& f = fixes[i];
        GpsPoint p;
        p.latitude = ToNmea(f.latitude);
        p.longitude = ToNmea(f.longitude);
        p.altitude = f.altitude;
        p.speed = uint16_t(std::clamp(f.speedKmh, 0, 0xFFFF));
        if (f.timed) {
            const QDateTime t = RecordTime(start, int(i), rate);
            p.year = uint8_t(t.date().year() - 2000);
            p.month = uint8_t(t.date().month());
            p.day = uint8_t(t.date().day());
            p.hour = uint8_t(t.time().hour());
            p.minute = uint8_t(t.time().minute());
            p.second = uint8_t(t.time().second());
        }
        p.heading = HeadingUnits(f.headingDegrees);
        p.flags = f.flags;
        p.ToBytes(reinterpret_cast<uint8_t*>(block.data()) + i * GpsPoint::kSize);
    }
    return block;
}

QByteArray GSensorBlock(const std::vector<GSensorSample>& samples) {
    QByteArray block(int(samples.size() * GSensorSample::kSize), '\0');
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i].ToBytes(reinterpret_cast<uint8_t*>(block.data()) + i * GSensorSample::kSize);
    return block;
}

std::array<uint8_t, 4> GpsParams(int rate) {
    return {uint8_t(rate), 0, 0, 0};
}

// The last two bytes are what the camera writes; nothing reads them.
std::array<uint8_t, 4> GSensorParams(int rate, int scale) {
    return {uint8_t(rate), uint8_t(scale), 2, 1};
}

QByteArray DateText(const QDateTime& wallClock) {
    QByteArray text = wallClock.toString("yyyy-MM-dd HH:mm:ss").toLatin1();
    text.append('\0');
    return text;
}

std::vector<CameraChunk> CameraChunks(const RecordingRecipe& recipe) {
    std::vector<CameraChunk> chunks;
    auto add = [&chunks](const char* id, const QByteArray& payload, uint32_t extra = 0) {
        chunks.push_back({QByteArray(id, 4), payload, uint32_t(payload.size()) + extra});
    };
    const Faults& faults = recipe.faults;
    if (faults.dateText)
        add("IDIT", *faults.dateText);
    else if (recipe.dateText)
        add("IDIT", DateText(recipe.start));
    const auto gpsa = GpsParams(recipe.gpsRate);
    const auto gsea = GSensorParams(recipe.gsensorRate, recipe.gsensorScale);
    add("gpsa", QByteArray(reinterpret_cast<const char*>(gpsa.data()), 4));
    add("gsea", QByteArray(reinterpret_cast<const char*>(gsea.data()), 4));
    add("gsen", GSensorBlock(recipe.gsensor) + QByteArray(faults.gsensorExtraBytes, '\x5a'));
    add("gps0",
        GpsBlock(recipe.fixes, recipe.start.addSecs(recipe.gpsTimeShiftSeconds), recipe.gpsRate) +
            QByteArray(faults.gpsExtraBytes, '\x5a'),
        faults.gpsSizeOverstated);
    return chunks;
}

} // namespace synth
