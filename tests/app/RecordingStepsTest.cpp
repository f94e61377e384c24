#include "app/playback/RecordingSteps.h"
#include "app/playback/SeekSteps.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

// Rows: 0 front, 1 its rear, 2 lone front, 3 front, 4 its rear.
const std::vector<bool> kPairs = {false, true, false, false, true};

int Neighbour(const std::vector<bool>& paired, int current, int step) {
    return NeighbourRecordingRow(
        int(paired.size()), [&](int i) { return bool(paired[size_t(i)]); }, current, step);
}

TEST(NeighbourRecordingRow, StepsOverPartnersAndWrapsAround) {
    struct Case {
        int current, step, expected;
    } cases[] = {
        {0, 1, 2},   {1, 1, 2},  {2, 1, 3},  {3, 1, 0},   // the last pair wraps to the first
        {4, 1, 0},   {2, -1, 0}, {3, -1, 2}, {4, -1, 2},  // from a rear row: its pair is current
        {0, -1, 3},  {1, -1, 3}, {-1, 1, 0}, {-1, -1, 3}, // nothing started yet
        {99, -1, 2}, {99, 1, 0},                          // beyond the list: the last row
    };
    for (const Case& c : cases)
        EXPECT_EQ(Neighbour(kPairs, c.current, c.step), c.expected)
            << c.current << " step " << c.step;
    EXPECT_EQ(Neighbour({}, 0, 1), -1);
    EXPECT_EQ(Neighbour({false}, 0, 1), 0);
    EXPECT_EQ(Neighbour({false}, 0, -1), 0);
}

TEST(SeekSliderPosition, LandsOnTheNearestStepInsideTheFile) {
    struct Case {
        int64_t from, delta, length;
        int span, expected;
    } cases[] = {
        {10000, 5000, 60000, 1000, 250},   // 15 s of 60 s, steps of 60 ms
        {10000, -5000, 60000, 1000, 83},   // 5 s: 83.3 steps
        {3000, -5000, 60000, 1000, 1},     // before the start: the first step, not "no seek"
        {58000, 30000, 60000, 1000, 1000}, // beyond the end: the end
        {10000, 5000, 60000, 0, 0},        // no slider
        {10000, 5000, 0, 1000, 0},         // length unknown
        {100, 5000, 500, 1000, 0},         // shorter than the span: every target is 0
    };
    for (const Case& c : cases)
        EXPECT_EQ(SeekSliderPosition(c.from, c.delta, c.length, c.span), c.expected)
            << c.from << " + " << c.delta << " of " << c.length;
}

} // namespace
