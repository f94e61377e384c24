#include "app/playback/SeekSteps.h"

#include <algorithm>

int SeekSliderPosition(int64_t fromMs, int64_t deltaMs, int64_t lengthMs, int span) {
    if (lengthMs <= 0 || span <= 0)
        return 0;
    const int64_t step = lengthMs / span;
    if (step <= 0)
        return 0;
    const int64_t target = std::clamp<int64_t>(fromMs + deltaMs, 0, lengthMs);
    return int(std::clamp<int64_t>((target + step / 2) / step, 1, span));
}
