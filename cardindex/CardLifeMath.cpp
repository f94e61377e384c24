#include "cardindex/CardLifeMath.h"

CardLife CardLifeOf(uint64_t bytes, uint64_t lockedBytes, uint64_t recordedMs, uint64_t freeBytes) {
    CardLife life;
    life.recordedHours = double(recordedMs) / 3600000.0;
    life.lockedShare = bytes ? double(lockedBytes) / double(bytes) : 0;
    life.freeBytes = freeBytes;
    life.bytesPerMinute = recordedMs ? double(bytes) / (double(recordedMs) / 60000.0) : 0;
    life.hoursLeft = life.bytesPerMinute > 0 ? double(freeBytes) / life.bytesPerMinute / 60.0 : 0;
    return life;
}
