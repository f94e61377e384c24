#include "app/WindowPlacement.h"

#include <gtest/gtest.h>

TEST(WindowPlacement, ClampsSavedRectangleToScreen) {
    struct Case {
        const char* name;
        int left, top, right, bottom;
        QSize screen;
        QRect expected;
    };
    const QSize hd(1920, 1080);
    const Case cases[] = {
        {"defaults", 0, 0, 800, 560, hd, {0, 0, 800, 560}},
        {"narrow grows to minimum", 100, 50, 400, 300, hd, {100, 50, 800, 560}},
        {"kept as saved", 10, 20, 1210, 920, hd, {10, 20, 1200, 900}},
        {"off the right edge", 1500, 0, 2300, 560, hd, {1120, 0, 800, 560}},
        {"off the bottom edge", 0, 900, 800, 1460, hd, {0, 520, 800, 560}},
        {"negative origin", -40, -7, 760, 553, hd, {0, 0, 800, 560}},
        {"larger than the screen", 0, 0, 3000, 2000, hd, {0, 0, 1920, 1080}},
        {"screen below minimum", 0, 0, 800, 560, QSize(640, 480), {0, 0, 640, 480}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RestoredWindowRect(c.left, c.top, c.right, c.bottom, c.screen), c.expected)
            << c.name;
}
