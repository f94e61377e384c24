#include "recordings/FramePlace.h"

#include "recordings/CameraClock.h"
#include "recordings/LocalTimeText.h"
#include "recordings/RecordingCatalog.h"

#include <QDateTime>

FramePlace FramePlaceAt(const RecordingCatalog& catalog, int pointIndex, int64_t playMs) {
    FramePlace place;
    const RecordingFile* current = catalog.CurrentRecording();
    if (!current)
        return place;
    const RecordingInfo& info = current->info;
    if (info.startTime != 0) {
        place.hasTime = true;
        place.time = info.startTime + playMs / 1000;
        place.hasReading = true;
        place.reading = (CameraReadingMs(info.StartMs()) + playMs) / 1000;
        const CameraClock clock = MeasureCameraClock(catalog.CurrentTrack(), info.startTime);
        place.zoneKnown = clock.rule == ClockRule::Gps;
        place.zoneMs = clock.zoneMs;
    }
    if (pointIndex < 0 || pointIndex >= catalog.GpsPointCount())
        return place;
    const GpsFix& p = catalog.FixAt(pointIndex);
    if (p.OnGlobe()) {
        place.hasFix = true;
        place.latitude = p.latitude;
        place.longitude = p.longitude;
        place.hasAltitude = p.hasAltitude;
        place.altitude = p.altitude;
        place.speedKmh = p.speedKmh;
        place.courseDegrees = p.headingDegrees;
    }
    // The frame clock shows the record's own date and time as it reads.
    if (p.hasTime) {
        const QDateTime clock = QDateTime::fromMSecsSinceEpoch(p.clockMs, Qt::UTC);
        const QDate d = clock.date();
        const QTime t = clock.time();
        place.hasTime = true;
        place.time = LocalToTime(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
    }
    return place;
}

QString FramePlaceText(const FramePlace& place) {
    if (!place.hasTime)
        return QString();
    QString text = FormatLocalTime(place.time, "%Y-%m-%d %H:%M:%S");
    if (place.hasFix)
        text += QStringLiteral("  %1, %2")
                    .arg(QString::number(place.latitude, 'f', 5),
                         QString::number(place.longitude, 'f', 5));
    return text;
}
