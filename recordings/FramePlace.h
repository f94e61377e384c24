#pragma once
// When and where the frame at a play time was taken: the GPS point of the
// loaded track at that time (found by the caller with the playback tick's
// index arithmetic), else the recording's start plus the play time.
#include <QString>
#include <cstdint>

class RecordingCatalog;

struct FramePlace {
    bool hasTime = false;
    int64_t time = 0; // seconds since 1970 UTC
    bool hasFix = false;
    double latitude = 0;  // decimal degrees
    double longitude = 0; // decimal degrees
    bool hasAltitude = false;
    int32_t altitude = 0; // metres
    double speedKmh = 0;
    double courseDegrees = 0;
    // For the evidence (a snapshot's tags): the camera clock's reading at the
    // frame, its date and time counted as UTC, in seconds, and the zone
    // measured between that clock and the track's GPS time, when known.
    bool hasReading = false;
    int64_t reading = 0;
    bool zoneKnown = false;
    int64_t zoneMs = 0;
};

FramePlace FramePlaceAt(const RecordingCatalog& catalog, int pointIndex, int64_t playMs);

// "2021-07-04 18:30:07  35.65000, 139.76000" in local time; the position is
// left out without a fix, and the text is empty without a time.
QString FramePlaceText(const FramePlace& place);
