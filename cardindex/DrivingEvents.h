#pragma once
// Driving events of one recording, from its G-sensor samples and its speed.
#include "cardindex/CardIndexTypes.h"

#include <vector>

struct CardIndexSettings;

// One G-sensor sample in g: x to the right, y forward, z up (gravity
// included), as the camera's axes are read.
struct IndexedSample {
    float offsetMs = 0;
    float x = 0, y = 0, z = 0;
};

// The events found in one recording, in time order; `recording` is left -1
// for the caller. A recording with samples is judged by them; one without
// by its speed alone. `cameraEvent` adds the camera's own event (a file it
// locked itself) at the strongest jolt, or at the start when there are no
// samples. startUtcMs (0 = unknown) dates events that lie before any fix.
std::vector<DrivingEvent> FindDrivingEvents(const std::vector<IndexedPoint>& points,
                                            const std::vector<IndexedSample>& samples,
                                            bool cameraEvent, int64_t startUtcMs,
                                            const CardIndexSettings& settings);

// The strongest jolt of the samples (peak above gravity); false when none.
bool StrongestJolt(const std::vector<IndexedSample>& samples, uint32_t* offsetMs, double* peak);

// The camera's own event (a file it locked itself) at the strongest jolt,
// or at the start when there are no samples: the camera does not say
// which moment made it lock the file.
DrivingEvent CameraEventAt(const std::vector<IndexedPoint>& points, uint32_t offsetMs, double peak,
                           int64_t startUtcMs);

// Where and when the car was at an offset into the recording: between the
// two fixes around it; false when the recording has no fix.
bool PlaceAt(const std::vector<IndexedPoint>& points, uint32_t offsetMs, double* latitude,
             double* longitude, int64_t* utcMs);
