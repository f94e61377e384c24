#include "recordings/GpsFix.h"

#include "recordings/MetadataRecord.h"
#include "recordings/NmeaCoordinates.h"
#include "recordings/RecordingInfo.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>

namespace {

// The record's date and time counted as UTC; false when it holds no real date.
bool RecordClock(const GpsPoint& p, int64_t* ms) {
    if (p.year == 0 || p.hour > 23 || p.minute > 59 || p.second > 59)
        return false;
    const QDate date(2000 + p.year, p.month, p.day);
    if (!date.isValid())
        return false;
    *ms = QDateTime(date, QTime(p.hour, p.minute, p.second), Qt::UTC).toMSecsSinceEpoch();
    return true;
}

} // namespace

bool GpsFix::OnGlobe() const {
    return hasFix && IsPlausiblePosition(latitude, longitude);
}

GpsFix DecodeFix(const GpsPoint& record, int32_t variant) {
    GpsFix fix;
    const bool chunk = variant == kChunkVariant;
    fix.latitude = chunk ? NmeaToDegrees(record.latitude) : record.latitude;
    fix.longitude = chunk ? NmeaToDegrees(record.longitude) : record.longitude;
    fix.hasFix = record.HasFix();
    fix.hasAltitude = chunk;
    fix.altitude = record.altitude;
    fix.speedKmh = record.speed;
    fix.headingDegrees = record.heading * 2.0;
    fix.hasTime = RecordClock(record, &fix.clockMs);
    fix.ownTime = fix.hasTime;
    fix.utcMs = fix.clockMs;
    // Metadata records were moved to the zone of their own position when
    // decoded; the instant undoes that.
    if (fix.hasTime && variant == kMetadataTrackVariant) {
        const int zone =
            std::clamp(MetadataRecord::TimeZoneHours(record.latitude, record.longitude), -12, 13);
        fix.utcMs -= int64_t(zone) * 3600 * 1000;
    }
    return fix;
}

StoredCoordinates StoredCoordinatesOf(int32_t variant) {
    return variant == kChunkVariant ? StoredCoordinates::kDegreesAndMinutes
                                    : StoredCoordinates::kDecimalDegrees;
}

double StoredCoordinate(double degrees, StoredCoordinates form) {
    if (form == StoredCoordinates::kDecimalDegrees)
        return degrees;
    const double whole = std::trunc(degrees);
    return whole + (degrees - whole) * 60.0 / 100.0;
}
