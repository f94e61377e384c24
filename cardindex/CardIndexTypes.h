#pragma once
// What the card index answers, as plain values: the overview window, the
// command line and the tests read these and nothing else of the index.
#include <QString>
#include <cstdint>
#include <vector>

// One valid fix of an indexed recording (points without a fix or off the
// globe are never indexed): a GpsFix narrowed to the row the index's cache
// stores, with its offset in the recording.
struct IndexedPoint {
    double latitude = 0;  // decimal degrees
    double longitude = 0; // decimal degrees
    float speedKmh = 0;
    float headingDegrees = 0;
    int64_t utcMs = 0;     // the instant, ms since 1970 UTC
    uint32_t offsetMs = 0; // from the start of the recording
};

struct IndexedRecording {
    QString path; // full path, as the main window's lists know the file
    QString fileName;
    bool rear = false;
    int32_t group = 0;      // group number in the lists
    uint8_t flags = 0;      // RecordingFile flags: event lock, hand lock
    int64_t startUtcMs = 0; // 0 = unknown
    uint32_t durationMs = 0;
    uint64_t fileSize = 0;
    bool hasGSensor = false;
    std::vector<IndexedPoint> points;
};

struct TripSummary {
    int number = 0;              // 1-based, in time order
    std::vector<int> recordings; // indices into the index's recordings
    int64_t startUtcMs = 0, endUtcMs = 0;
    double startLatitude = 0, startLongitude = 0;
    double endLatitude = 0, endLongitude = 0;
    bool hasPositions = false;
    double distanceM = 0;
    int64_t durationMs = 0;
    int64_t movingMs = 0; // above 3 km/h
    double maxKmh = 0;
    double averageMovingKmh = 0;
    int eventCount = 0;
};

enum class DrivingEventKind {
    HarshBraking,
    HarshAcceleration,
    SharpCornering,
    Impact,
    SpeedOnlyBraking, // no G-sensor data: seen in the speed alone
    CameraEvent,      // the camera's own event recording
};

struct DrivingEvent {
    DrivingEventKind kind = DrivingEventKind::CameraEvent;
    int recording = -1; // index into the index's recordings
    uint32_t offsetMs = 0;
    int64_t utcMs = 0;
    bool hasPosition = false;
    double latitude = 0, longitude = 0;
    double peak = 0; // g, or km/h per second for speed-only braking
};

// "When was I here?": the closest approach of one recording to a place.
struct NearHit {
    int recording = -1;
    uint32_t offsetMs = 0;
    int64_t utcMs = 0;
    double distanceM = 0;
};

// How long the card lasts at its own rate of bytes per minute.
struct CardLife {
    double recordedHours = 0;
    double lockedShare = 0; // 0..1 of the recorded bytes
    uint64_t freeBytes = 0;
    double bytesPerMinute = 0;
    double hoursLeft = 0; // of driving until the oldest unlocked is overwritten
};
