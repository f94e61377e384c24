#pragma once
// How long a card lasts, from its bytes and minutes.
#include "cardindex/CardIndexTypes.h"

#include <cstdint>

// `bytes` of all recordings (both cameras), `lockedBytes` of the locked
// ones, `recordedMs` of driving they hold (a pair's minutes once). The
// camera writes into free space first and overwrites the oldest unlocked
// recording only when none is left, so the hours left are the free bytes at
// this card's own bytes per minute of driving.
CardLife CardLifeOf(uint64_t bytes, uint64_t lockedBytes, uint64_t recordedMs, uint64_t freeBytes);
