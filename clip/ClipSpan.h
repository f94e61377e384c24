#pragma once
// Where a clip's marks fall in the recordings of a drive. Marks are absolute
// times, so a clip may run across recordings that follow each other.
#include "recordings/RecordingInfo.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

struct ClipSource {
    QString front;       // path; "" when the moment has no front file
    QString rear;        // path; "" when it has no rear file
    int64_t startMs = 0; // the recording's start, ms since 1970 UTC
    int64_t durationMs = 0;
    RecordingFile file; // the front file as listed (the rear one without a front)
};

// One recording's share of the clip, in ms from that recording's start.
struct ClipPiece {
    ClipSource source;
    int64_t inMs = 0;
    int64_t outMs = 0;
};

// Recordings whose start lies within this of the previous one's end follow
// it without a gap (the camera clock counts whole seconds).
constexpr int64_t kSeamToleranceMs = 1500;

// The pieces of [fromMs, toMs) across sources sorted by start; false with a
// reason when the span is empty, outside the recordings or crosses a gap.
bool SpanPieces(const std::vector<ClipSource>& sources, int64_t fromMs, int64_t toMs,
                std::vector<ClipPiece>* pieces, QString* error);

// [fromMs, toMs) reaching `beforeMs` before and `afterMs` after the moment
// `atMs`, trimmed to the recordings that follow each other around it (sources
// sorted by start); nullopt when no recording holds the moment.
std::optional<std::pair<int64_t, int64_t>>
SpanAround(const std::vector<ClipSource>& sources, int64_t atMs, int64_t beforeMs, int64_t afterMs);
