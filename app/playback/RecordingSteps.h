#pragma once
#include <functional>

// The row of the recording before or after the current one in a list of
// `rows` rows, a front file and its rear partner in the next row counting as
// one recording, as the end of a file counts them. `pairedWithPrevious(i)`
// tells whether row i (1 <= i < rows) is the rear partner of row i - 1. The
// list is a circle: after the last recording comes the first. `current` may
// be -1 (nothing started yet) or beyond the list. Returns -1 for an empty
// list.
int NeighbourRecordingRow(int rows, const std::function<bool(int)>& pairedWithPrevious, int current,
                          int step);
