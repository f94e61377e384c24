#include "tools/synth/IndexedCards.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>

namespace synth {
namespace {

// Haversine on a sphere: plenty for made-up figures.
double DistanceM(double lat1, double lon1, double lat2, double lon2) {
    constexpr double kRad = M_PI / 180;
    const double a = std::pow(std::sin((lat2 - lat1) * kRad / 2), 2) +
                     std::cos(lat1 * kRad) * std::cos(lat2 * kRad) *
                         std::pow(std::sin((lon2 - lon1) * kRad / 2), 2);
    return 2 * 6371008.8 * std::asin(std::sqrt(a));
}

} // namespace

IndexedCard StraightTripsCard(const StraightCardShape& shape) {
    IndexedCard result;
    IndexedCard* card = &result;
    int trip = 0;
    for (int day = 0; day < shape.days; ++day)
        for (int hour : {8, 17}) {
            const int64_t start = QDateTime(QDate(2026, 3, 1 + day), QTime(hour, 0), Qt::LocalTime)
                                      .toMSecsSinceEpoch();
            TripSummary summary;
            summary.number = trip + 1;
            summary.startUtcMs = start;
            summary.endUtcMs = start + 120000;
            summary.durationMs = summary.movingMs = 120000;
            summary.hasPositions = true;
            summary.distanceM = 2 * 60 * 0.0002 * 111320 * std::cos(35.6 * M_PI / 180);
            for (int part = 0; part < 2; ++part) {
                IndexedRecording r;
                const int index = int(card->recordings.size());
                r.path = index < int(shape.paths.size())
                             ? shape.paths[size_t(index)]
                             : shape.folder + QStringLiteral("/%1.MP4").arg(index);
                r.fileName = r.path.section('/', -1);
                r.group = trip;
                r.startUtcMs = start + part * 60000;
                r.durationMs = 60000;
                r.hasGSensor = true;
                for (int s = 0; s < 60; ++s) {
                    const int second = part * 60 + s;
                    IndexedPoint p;
                    p.latitude = kFirstLatitude + kTripLatitudeStep * trip;
                    p.longitude = kFirstLongitude + kDegreesPerSecond * second;
                    p.speedKmh = float(60 + 40 * std::sin(second / 10.0));
                    p.headingDegrees = 90;
                    p.utcMs = r.startUtcMs + s * 1000;
                    p.offsetMs = uint32_t(s * 1000);
                    r.points.push_back(p);
                    summary.maxKmh = std::max(summary.maxKmh, double(p.speedKmh));
                }
                summary.recordings.push_back(index);
                card->recordings.push_back(r);
            }
            summary.averageMovingKmh = 60;
            summary.startLatitude = summary.endLatitude = kFirstLatitude + 0.01 * trip;
            summary.startLongitude = kFirstLongitude;
            summary.endLongitude = kFirstLongitude + 119 * kDegreesPerSecond;
            DrivingEvent braking;
            braking.kind = DrivingEventKind::HarshBraking;
            braking.recording = summary.recordings.back();
            braking.offsetMs = 30000;
            const IndexedPoint& at = card->recordings.back().points[30];
            braking.utcMs = at.utcMs;
            braking.hasPosition = true;
            braking.latitude = at.latitude;
            braking.longitude = at.longitude;
            braking.peak = 0.6;
            card->events.push_back(braking);
            summary.eventCount = 1;
            card->trips.push_back(summary);
            ++trip;
        }
    card->life = {double(trip) * 2 / 60, 0.25, 3'200'000'000ull, 100e6, 0.5};
    return result;
}

IndexedCard TownDrivingCard(int days) {
    IndexedCard result;
    IndexedCard* card = &result;
    int trip = 0;
    uint64_t bytes = 0, lockedBytes = 0;
    for (int day = 0; day < days; ++day)
        for (int k = 0; k < 2 + day % 2; ++k, ++trip) {
            const int minutes = 6 + (trip * 5) % 9;
            int64_t utc = QDateTime(QDate(2026, 3, 2).addDays(day),
                                    QTime(8 + 5 * k, 10 * (trip % 5)), Qt::LocalTime)
                              .toMSecsSinceEpoch();
            TripSummary summary;
            summary.number = trip + 1;
            summary.startUtcMs = utc;
            summary.hasPositions = true;
            double lat = kHomeLatitude, lon = kHomeLongitude;
            double heading = 37.0 * trip;
            double kmh = 0, prevKmh = 0;
            bool brakingMarked = false;
            for (int m = 0; m < minutes; ++m) {
                IndexedRecording r;
                const int index = int(card->recordings.size());
                r.path = QStringLiteral("/card/DCIM/%1.MP4").arg(index, 4, 10, QLatin1Char('0'));
                r.fileName = r.path.section('/', -1);
                r.group = trip;
                r.startUtcMs = utc;
                r.durationMs = 60000;
                r.fileSize = 90'000'000;
                r.hasGSensor = true;
                if (trip % 4 == 1 && m == minutes / 2)
                    r.flags = 1; // the camera locked it
                for (int s = 0; s < 60; ++s) {
                    const int second = m * 60 + s;
                    // A stop at a light every 150 s: 12 s braking, 20 s standing.
                    const int phase = second % 150;
                    const double cruise =
                        35 + 25 * std::sin(second / 90.0 + trip) + (trip % 3 == 0 ? 20 : 0);
                    if (phase >= 118 && phase < 130)
                        kmh = std::max(0.0, kmh - 6);
                    else if (phase >= 130)
                        kmh = 0;
                    else
                        kmh = std::min(cruise, kmh + 5);
                    heading +=
                        6 * std::sin(second / 23.0 + trip * 1.7) + (second % 97 == 0 ? 90 : 0);
                    const double mps = kmh / 3.6;
                    lat += mps * std::cos(heading * M_PI / 180) / 111320;
                    lon += mps * std::sin(heading * M_PI / 180) /
                           (111320 * std::cos(lat * M_PI / 180));
                    IndexedPoint p{lat,
                                   lon,
                                   float(kmh),
                                   float(std::fmod(heading, 360)),
                                   utc + s * 1000,
                                   uint32_t(s * 1000)};
                    if (!r.points.empty()) {
                        const IndexedPoint& q = r.points.back();
                        summary.distanceM +=
                            DistanceM(q.latitude, q.longitude, p.latitude, p.longitude);
                    }
                    if (kmh > 3)
                        summary.movingMs += 1000;
                    summary.maxKmh = std::max(summary.maxKmh, kmh);
                    if (!brakingMarked && prevKmh - kmh >= 6 && kmh < 40) {
                        brakingMarked = true;
                        card->events.push_back({DrivingEventKind::HarshBraking, index, p.offsetMs,
                                                p.utcMs, true, lat, lon, 0.55});
                    }
                    if (trip % 3 == 2 && m == 2 && s == 20)
                        card->events.push_back({DrivingEventKind::SharpCornering, index, p.offsetMs,
                                                p.utcMs, true, lat, lon, 0.45});
                    if (trip == 4 && m == 4 && s == 40)
                        card->events.push_back({DrivingEventKind::Impact, index, p.offsetMs,
                                                p.utcMs, true, lat, lon, 2.1});
                    if (r.flags && s == 30)
                        card->events.push_back({DrivingEventKind::CameraEvent, index, p.offsetMs,
                                                p.utcMs, true, lat, lon, 0});
                    prevKmh = kmh;
                    r.points.push_back(p);
                }
                bytes += r.fileSize;
                lockedBytes += r.flags ? r.fileSize : 0;
                utc += 60000;
                summary.recordings.push_back(index);
                card->recordings.push_back(r);
            }
            summary.endUtcMs = utc;
            summary.durationMs = summary.endUtcMs - summary.startUtcMs;
            summary.averageMovingKmh =
                summary.movingMs ? summary.distanceM / 1000 / (summary.movingMs / 3.6e6) : 0;
            const IndexedPoint& first =
                card->recordings[size_t(summary.recordings.front())].points.front();
            const IndexedPoint& last = card->recordings.back().points.back();
            summary.startLatitude = first.latitude;
            summary.startLongitude = first.longitude;
            summary.endLatitude = last.latitude;
            summary.endLongitude = last.longitude;
            for (const DrivingEvent& e : card->events)
                summary.eventCount +=
                    std::count(summary.recordings.begin(), summary.recordings.end(), e.recording)
                        ? 1
                        : 0;
            card->trips.push_back(summary);
        }
    const double minutes = double(card->recordings.size());
    const uint64_t freeBytes = 9'400'000'000ull;
    card->life.recordedHours = minutes / 60;
    card->life.lockedShare = bytes ? double(lockedBytes) / double(bytes) : 0;
    card->life.freeBytes = freeBytes;
    card->life.bytesPerMinute = 90e6;
    card->life.hoursLeft = (double(freeBytes) + double(bytes - lockedBytes)) / 90e6 / 60;
    return result;
}

} // namespace synth
