#include "recordings/CameraClock.h"

#include "recordings/Track.h"

#include <QDateTime>
#include <cmath>
#include <ctime>

namespace {

constexpr int64_t kQuarterHourMs = 15 * 60 * 1000;
// Zones run from UTC-12:00 to UTC+14:00; a clock further off is not set to any.
constexpr int64_t kWestmostMs = -12 * 3600 * 1000LL;
constexpr int64_t kEastmostMs = 14 * 3600 * 1000LL;

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

} // namespace

int64_t CameraReadingMs(int64_t startScaleMs) {
    const int64_t seconds = FloorDiv(startScaleMs, 1000);
    const time_t t = time_t(seconds);
    struct tm local {};
    if (!localtime_r(&t, &local))
        return startScaleMs;
    return (int64_t(timegm(&local)) - seconds) * 1000 + startScaleMs;
}

CameraClock MeasureCameraClock(const Track& track, int64_t startTime) {
    CameraClock clock;
    if (startTime == 0 || track.readFailed)
        return clock;
    const double rate = track.gpsRate > 0 ? track.gpsRate : 1.0;
    const int64_t startReading = CameraReadingMs(startTime * 1000);
    for (int i = 0; i < track.PointCount(); ++i) {
        if (!track.fixes[size_t(i)].ownTime)
            continue;
        const int64_t utcMs = track.fixes[size_t(i)].utcMs;
        // Records keep whole seconds, so the difference is known to a second.
        const int64_t readingMs = startReading + std::llround(i * 1000.0 / rate);
        clock.measured = true;
        clock.differenceMs = std::llround((readingMs - utcMs) / 1000.0) * 1000;
        const int64_t zone =
            std::llround(double(clock.differenceMs) / double(kQuarterHourMs)) * kQuarterHourMs;
        if (zone >= kWestmostMs && zone <= kEastmostMs) {
            clock.rule = ClockRule::Gps;
            clock.zoneMs = zone;
        }
        return clock;
    }
    return clock;
}

QString UtcOffsetText(int64_t zoneMs) {
    const int64_t minutes = std::llabs(zoneMs) / 60000;
    return QStringLiteral("%1%2:%3")
        .arg(zoneMs < 0 ? '-' : '+')
        .arg(minutes / 60, 2, 10, QChar('0'))
        .arg(minutes % 60, 2, 10, QChar('0'));
}

QString ClockRuleName(ClockRule rule) {
    return rule == ClockRule::Gps ? QStringLiteral("gps") : QStringLiteral("none");
}

QString CameraReadingText(int64_t readingMs, const QString& qtPattern) {
    return QDateTime::fromMSecsSinceEpoch(readingMs, Qt::UTC).toString(qtPattern);
}
