#pragma once
// The zone a camera's clock was set to, measured against the GPS time that
// its own records carry. A recording's start time is the camera's clock read
// as if it ran in this computer's zone; what the evidence shows is the
// camera's reading itself with the zone measured here, the same on every
// computer.
#include "recordings/Track.h"

#include <QString>
#include <cstdint>

enum class ClockRule {
    None, // no record with GPS time, or a clock no zone explains
    Gps,  // measured against the first record that carries GPS time
};

struct CameraClock {
    ClockRule rule = ClockRule::None;
    int64_t zoneMs = 0;       // camera clock minus UTC in whole quarter hours (rule Gps)
    bool measured = false;    // a record with GPS time was found
    int64_t differenceMs = 0; // camera clock minus GPS time, to the second (when measured)
};

// The camera clock's reading at an instant of the start-time scale: its
// date and time counted as if they were UTC, in ms. Taken at a recording's
// start; later instants add their distance from it.
int64_t CameraReadingMs(int64_t startScaleMs);

// The clock of one recording from its track and start time (seconds).
CameraClock MeasureCameraClock(const Track& track, int64_t startTime);

// A zone as ISO 8601 writes it, "+09:00", "-03:30".
QString UtcOffsetText(int64_t zoneMs);

// "gps" or "none", as the clip's manifest names the rule.
QString ClockRuleName(ClockRule rule);

// A camera reading as text with a strftime-like pattern of Qt's: the reading's
// own date and time, whatever this computer's zone.
QString CameraReadingText(int64_t readingMs, const QString& qtPattern);
