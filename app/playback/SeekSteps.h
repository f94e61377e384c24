#pragma once
#include <cstdint>

// The position (above the slider's minimum) at which the position slider
// seeks nearest to `fromMs` + `deltaMs`, kept inside the file. The slider
// seeks in whole steps of length / span; position 0 would be no seek, so
// the first step stands in for the start. 0 when the length is unknown or
// shorter than the span.
int SeekSliderPosition(int64_t fromMs, int64_t deltaMs, int64_t lengthMs, int span);
