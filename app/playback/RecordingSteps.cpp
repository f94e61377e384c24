#include "app/playback/RecordingSteps.h"

#include <algorithm>

int NeighbourRecordingRow(int rows, const std::function<bool(int)>& pairedWithPrevious, int current,
                          int step) {
    const int n = rows;
    if (n <= 0)
        return -1;
    auto paired = [&](int row) { return row > 0 && row < n && pairedWithPrevious(row); };
    if (current < 0)
        return step > 0 ? 0 : (paired(n - 1) ? n - 2 : n - 1);
    current = std::min(current, n - 1);
    if (step > 0) {
        int next = current + 1;
        if (paired(next))
            ++next;
        return next < n ? next : 0;
    }
    // From the first row of the current recording to the first row of the
    // one before it.
    const int start = paired(current) ? current - 1 : current;
    int previous = start > 0 ? start - 1 : n - 1;
    if (paired(previous))
        --previous;
    return previous;
}
