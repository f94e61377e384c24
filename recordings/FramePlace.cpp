#include "recordings/FramePlace.h"

#include "recordings/CameraClock.h"
#include "recordings/LocalTimeText.h"
#include "recordings/RecordingCatalog.h"
#include "recordings/TripModel.h"

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
        place.reading = (CameraReadingMs(info.startTime * 1000) + playMs) / 1000;
        const CameraClock clock = MeasureCameraClock(catalog.CurrentTrack(), info.startTime);
        place.zoneKnown = clock.rule == ClockRule::Gps;
        place.zoneMs = clock.zoneMs;
    }
    if (pointIndex < 0 || pointIndex >= catalog.GpsPointCount())
        return place;
    const GpsPoint p = catalog.GpsPointAt(pointIndex);
    TripPoint point;
    if (ExportablePoint(catalog, pointIndex, &point)) {
        place.hasFix = true;
        place.latitude = point.latitude;
        place.longitude = point.longitude;
        place.hasAltitude = point.hasAltitude;
        place.altitude = point.altitude;
        place.speedKmh = point.speedKmh;
        place.courseDegrees = point.courseDegrees;
    }
    int64_t ms = 0;
    if (GpsPointTime(p, &ms)) {
        place.hasTime = true;
        place.time = ms / 1000;
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
