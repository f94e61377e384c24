#include "controls/ListRowTexts.h"

#include "tests/support/core/ScopedTimeZone.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

// 2023-11-14 22:13:20 UTC.
constexpr int64_t kStart = 1700000000;

TEST(ListRowTexts, FileRows) {
    ScopedTimeZone tz("JST-9"); // UTC + 9, no daylight saving
    struct Case {
        int group, index;
        uint32_t durationMs;
        uint64_t size;
        int64_t start;
        QStringList texts;
    } cases[] = {
        {0,
         0,
         60000,
         1048575,
         kStart,
         {"G0-0", "F.MOV", "07:13:20", "07:14:20", " 0 MB", "/card/DCIM/"}},
        {12,
         3,
         59999,
         3221225472ull,
         kStart, // the end drops the part second
         {"G12-3", "F.MOV", "07:13:20", "07:14:19", " 3072 MB", "/card/DCIM/"}},
        {1,
         1,
         180000,
         1048576,
         0, // an unknown start is the epoch, in local time
         {"G1-1", "F.MOV", "09:00:00", "09:03:00", " 1 MB", "/card/DCIM/"}},
        // A time the C library cannot convert leaves its column empty rather
        // than stopping the fill.
        {2,
         0,
         1000,
         0,
         std::numeric_limits<int64_t>::max() - 10,
         {"G2-0", "F.MOV", "", "", " 0 MB", "/card/DCIM/"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(
            FileRowTexts(c.group, c.index, "/card/DCIM/", "F.MOV", c.durationMs, c.size, c.start),
            c.texts)
            << c.group << "-" << c.index;
}

TEST(ListRowTexts, GroupRows) {
    ScopedTimeZone tz("JST-9");
    struct Case {
        int group;
        const char* resolution;
        uint64_t durationMs, size;
        int64_t start;
        QStringList texts;
    } cases[] = {
        {0,
         "720P",
         60000,
         2 * 104857600ull,
         kStart,
         {"G0", "720P", "2023-11-15 07:13:20", " 60 s ", " 200 MB"}},
        {7,
         "1920x1088",
         1999,
         1048575,
         0,
         {"G7", "1920x1088", "1970-01-01 09:00:00", " 1 s ", " 0 MB"}},
        {8, "", 0, 0, std::numeric_limits<int64_t>::min(), {"G8", "", "", " 0 s ", " 0 MB"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GroupRowTexts(c.group, c.resolution, c.durationMs, c.size, c.start), c.texts)
            << c.group;
}

} // namespace
