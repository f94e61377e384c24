#pragma once
#include "cardindex/CardIndexTypes.h"

#include <vector>

// A front/rear pair is one moment: the front's track counts, a rear only
// when its front is not among the recordings. Per recording, whether it
// counts (in trips, events and "when was I here?").
std::vector<bool> CountedRecordings(const std::vector<IndexedRecording>& recordings);
