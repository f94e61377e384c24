#pragma once
// How far the camera's clock ran from GPS time in one recording.
#include "recordings/RecordingInfo.h"

#include <cstdint>

// GPS time minus the camera clock at the first record that carries its own
// time; false when the recording has no such record or cannot be read.
bool CameraClockOffset(const RecordingFile& file, int64_t* offsetMs);
