#pragma once
// Which recordings of a card an import keeps.
#include <cstdint>
#include <vector>

enum class KeepMode {
    All,
    Drives, // leaves out the parked hours
    Events, // keeps what happened, with the drive around it
};

// Fixes at or below this speed are a parked car's GPS wandering or a walk.
constexpr double kWalkingKmh = 6;
// How much of the drive around an event is kept with it.
constexpr int64_t kAroundEventMs = 60 * 1000;

struct KeepCandidate {
    int64_t startUtcMs = 0; // 0 = unknown
    uint32_t durationMs = 0;
    bool locked = false;
    bool hasFix = false; // any valid fix at all
    bool moved = false;  // a fix above kWalkingKmh
    bool event = false;  // a driving event or the camera's event
};

enum class LeftOut {
    No,
    Parked,  // drives: a fix, none above walking speed, no event, no lock
    NoEvent, // events: no event or lock in it nor within a minute of it
};

// One answer per candidate. The files of one moment (front and rear, the
// same start) are judged together: what one of them shows counts for both.
// A recording without any fix is never called parked: nothing shows the
// car stood still.
std::vector<LeftOut> ChooseKept(const std::vector<KeepCandidate>& candidates, KeepMode mode);
