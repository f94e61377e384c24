#include "app/window/WindowPlacement.h"

#include <climits>
#include <gtest/gtest.h>

TEST(WindowPlacement, ClampsSavedRectangleToTheWorkArea) {
    struct Case {
        const char* name;
        int left, top, right, bottom;
        QRect area;
        QRect expected;
    };
    const QRect hd(0, 0, 1920, 1080);
    // Panels along the top (32 px) and the left (48 px) edge.
    const QRect panels(48, 32, 1872, 1048);
    const Case cases[] = {
        {"defaults", 0, 0, 800, 560, hd, {0, 0, 800, 560}},
        {"narrow grows to minimum", 100, 50, 400, 300, hd, {100, 50, 800, 560}},
        {"kept as saved", 10, 20, 1210, 920, hd, {10, 20, 1200, 900}},
        {"off the right edge", 1500, 0, 2300, 560, hd, {1120, 0, 800, 560}},
        {"off the bottom edge", 0, 900, 800, 1460, hd, {0, 520, 800, 560}},
        {"negative origin", -40, -7, 760, 553, hd, {0, 0, 800, 560}},
        {"larger than the screen", 0, 0, 3000, 2000, hd, {0, 0, 1920, 1080}},
        {"screen below minimum", 0, 0, 800, 560, {0, 0, 640, 480}, {0, 0, 640, 480}},
        {"defaults beside the panels", 0, 0, 800, 560, panels, {48, 32, 800, 560}},
        {"under the top panel", 300, 10, 1100, 570, panels, {300, 32, 800, 560}},
        {"as high as the screen", 100, 0, 900, 1080, panels, {100, 32, 800, 1048}},
        {"off the right edge of the area", 1500, 600, 2300, 1160, panels, {1120, 520, 800, 560}},
        {"second monitor's area",
         2000,
         100,
         2800,
         660,
         {1920, 0, 1280, 1024},
         {2000, 100, 800, 560}},
        // Edges whose difference overflows an int.
        {"widest possible", INT_MIN, INT_MIN, INT_MAX, INT_MAX, hd, {0, 0, 1920, 1080}},
        {"edges the wrong way round",
         INT_MAX,
         INT_MAX,
         INT_MIN,
         INT_MIN,
         hd,
         {1120, 520, 800, 560}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RestoredWindowRect(c.left, c.top, c.right, c.bottom, c.area), c.expected)
            << c.name;
}

TEST(WindowPlacement, PresetSizesOnAMonitor) {
    struct Case {
        WindowPreset preset;
        QRect monitor;
        QRect expected;
    };
    const QRect hd(0, 0, 1920, 1080);
    const Case cases[] = {
        {WindowPreset::Small, hd, {560, 260, 800, 560}},
        {WindowPreset::Medium, hd, {240, 135, 1536, 864}},
        {WindowPreset::Medium, {0, 0, 900, 600}, {112, 75, 800, 560}},
        {WindowPreset::Large, hd, hd},
        // A second monitor to the right: the same, from its own origin.
        {WindowPreset::Small, {1920, 0, 1280, 1024}, {2160, 232, 800, 560}},
        {WindowPreset::Medium, {1920, 0, 1280, 1024}, {2080, 128, 1024, 819}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PresetWindowRect(c.preset, c.monitor), c.expected) << int(c.preset);
}
