#include "tests/support/OverviewCard.h"

#include <QDateTime>
#include <cmath>

namespace overviewtest {

std::shared_ptr<OverviewValues> MakeCard(const CardShape& shape) {
    auto card = std::make_shared<OverviewValues>();
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
    return card;
}

} // namespace overviewtest
