#pragma once
// One GPS record of a track, decoded once when the track is read: whatever
// the variant stored, every reader sees decimal degrees, km/h, degrees of
// heading and the instant in UTC.
#include "recordings/GpsPoint.h"

#include <cstdint>

struct GpsFix {
    double latitude = 0;  // decimal degrees, south negative
    double longitude = 0; // decimal degrees, west negative
    bool hasFix = false;  // the receiver had a position
    // The metadata track stores no altitude; its 0 is not a reading.
    bool hasAltitude = false;
    int32_t altitude = 0; // metres
    double speedKmh = 0;
    double headingDegrees = 0;
    // The record's own time, when it holds a real date: the instant
    // (utcMs), and the date and time as the record reads them counted as
    // if they were UTC (clockMs: the receiver's UTC in a chunk record, the
    // local time of its position in a metadata record).
    bool hasTime = false;
    int64_t utcMs = 0;
    int64_t clockMs = 0;
    // utcMs is the record's own GPS time; an export may give a fix without
    // one the recording's start plus its place, on the start time's scale.
    bool ownTime = false;

    // A position that can be drawn or written: a fix on the globe.
    bool OnGlobe() const;
};

// The one decoding of a stored record: chunk coordinates in degrees * 100 +
// minutes, metadata records already in degrees and the time of their zone.
GpsFix DecodeFix(const GpsPoint& record, int32_t variant);

// How a variant stores coordinates. The car's page call for page types other
// than the two maps sends them in this form (degrees + minutes / 100 for a
// chunk record), derived from the fix where it is made.
enum class StoredCoordinates { kDecimalDegrees, kDegreesAndMinutes };
StoredCoordinates StoredCoordinatesOf(int32_t variant);
// Decimal degrees in that form: degrees + minutes / 100, or as they are.
double StoredCoordinate(double degrees, StoredCoordinates form);
