#include "controls/GSensorCurveMath.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

GSensorCurveState WithSamples(size_t count) {
    GSensorCurveState s;
    s.samples.resize(count);
    return s;
}

TEST(GSensorCurveMath, PlotIsClientLessItsMargins) {
    const GSensorPlot p = GSensorPlot::FromClient(QSize(226, 129));
    EXPECT_EQ(p.left, 24);
    EXPECT_EQ(p.top, 20);
    EXPECT_EQ(p.right, 224);
    EXPECT_EQ(p.bottom, 121);
    EXPECT_EQ(p.width, 200);
    EXPECT_EQ(p.height, 101);
    EXPECT_EQ(p.y0, 70); // 101 / 2 rounds down
}

TEST(GSensorCurveMath, AxisReadingUsesTheSignedLowByte) {
    struct Case {
        int16_t raw;
        double fullScale;
        double g;
    } cases[] = {
        {64, 2.0, 1.0},
        {-64, 2.0, -1.0},
        {127, 8.0, 127 * 8.0 / 128},
        {0x0105, 2.0, 5 / 64.0},
        {int16_t(0xFF80), 2.0, -2.0}, // low byte 0x80 = -128
        {0x01FE, 8.0, -2 * 8.0 / 128},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(GSensorAxisReading(c.raw, c.fullScale), c.g) << c.raw;
}

TEST(GSensorCurveMath, SamplesWithAComponentOfMagnitude128AreSkipped) {
    EXPECT_TRUE(IsSkippedGSensorSample({128, 0, 0}));
    EXPECT_TRUE(IsSkippedGSensorSample({0, -128, 0}));
    EXPECT_TRUE(IsSkippedGSensorSample({0, 0, 128}));
    EXPECT_FALSE(IsSkippedGSensorSample({127, -127, 0}));
    EXPECT_FALSE(IsSkippedGSensorSample({0x0180, 0, 0})); // 384, though its low byte is 0x80
}

TEST(GSensorCurveMath, RowsAreTruncatedAndClampedToTheRange) {
    const GSensorPlot p = GSensorPlot::FromClient(QSize(226, 128)); // y0 70, height 100
    EXPECT_EQ(GSensorRowOf(0.0, 2.0, p), 70);
    EXPECT_EQ(GSensorRowOf(1.0, 2.0, p), 45);
    EXPECT_EQ(GSensorRowOf(-1.0, 2.0, p), 95);
    EXPECT_EQ(GSensorRowOf(0.39, 2.0, p), 60);  // 70 - 9.75 = 60.25
    EXPECT_EQ(GSensorRowOf(-0.39, 2.0, p), 79); // 70 + 9.75 = 79.75
    EXPECT_EQ(GSensorRowOf(7.9, 2.0, p), 20);   // beyond +R: the top edge
    EXPECT_EQ(GSensorRowOf(-7.9, 2.0, p), 120); // beyond -R: the bottom edge
}

TEST(GSensorCurveMath, TickWindowFollowsTheScaleMode) {
    struct Case {
        int mode;
        size_t count;
        double samplesPerMs;
        double pixelsPerMs;
        double fixedWindow;
        int width;
        int window;
    } cases[] = {
        {0, 0, 0.016, 0.0275, 60000, 200, 20000},    // no samples: 0 falls back to 20000
        {0, 1000, 0.0, 0.0275, 60000, 200, 20000},   // no rate
        {0, 1000, 0.016, 0.0275, 60000, 200, 62500}, // the whole recording
        {1, 1000, 0.016, 0.0275, 60000, 200, 60000},
        {2, 1000, 0.016, 0.01, 60000, 200, 20000}, // after loading: width x 100 ms
        {2, 1000, 0.016, 0.01, 60000, 1894, 189400},
        {2, 1000, 0.016, 0.0275, 60000, 200, 7272},
        {3, 1000, 0.016, 0.01, 60000, 200, 20000}, // unknown mode
        // A zero or tiny scale would be an infinite or overflowing window.
        {2, 1000, 0.016, 0.0, 60000, 200, 20000},
        {2, 1000, 0.016, 1e-12, 60000, 200, 20000},
        {0, 1000, std::numeric_limits<double>::infinity(), 0.01, 60000, 200, 20000},
    };
    for (const Case& c : cases) {
        GSensorCurveState s = WithSamples(c.count);
        s.scaleMode = c.mode;
        s.samplesPerMs = c.samplesPerMs;
        s.pixelsPerMs = c.pixelsPerMs;
        s.fixedWindowMs = c.fixedWindow;
        EXPECT_EQ(GSensorTickWindow(s, c.width), c.window)
            << "mode " << c.mode << " count " << c.count << " width " << c.width;
    }
}

TEST(GSensorCurveMath, TickLengths) {
    const int expected[] = {6, 2, 2, 2, 2, 4, 2, 2, 2, 2, 6, 2, 2, 2, 2, 4};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(GSensorTickLength(i), expected[i]) << i;
}

TEST(GSensorCurveMath, CursorStandsAtTheLeftEdgeUntilPlaybackOrASeek) {
    const GSensorPlot p = GSensorPlot::FromClient(QSize(226, 128));
    struct Case {
        double position;
        bool seekHappened;
        int seekCursorX;
        int x;
    } cases[] = {
        {0, false, 150, 24}, // before any playback
        {0, true, 150, 150}, // a seek to the start still follows the thumb
        {500, false, 150, 150},
        {500, false, -3, 24}, // a negative thumb position falls back to the edge
        {0, true, -1, 24},
    };
    for (const Case& c : cases) {
        GSensorCurveState s;
        s.position = c.position;
        EXPECT_EQ(GSensorCursorX(s, p, c.seekCursorX, c.seekHappened), c.x)
            << c.position << " " << c.seekHappened << " " << c.seekCursorX;
    }
}

TEST(GSensorCurveMath, CurrentValuesComeFromTheSampleAtThePosition) {
    GSensorCurveState s;
    s.fullScale = 2.0;
    s.samplesPerMs = 0.01; // one sample per 100 ms
    s.samples = {{64, -64, 0}, {32, 128, -32}, {1, 2, 3}};
    struct Case {
        double position;
        double samplesPerMs;
        std::array<double, 3> values;
    } cases[] = {
        {0, 0.01, {1.0, -1.0, 0.0}},
        {99.9, 0.01, {1.0, -1.0, 0.0}},
        {100, 0.01, {0.5, -2.0, -0.5}}, // a skipped sample still shows its (unclamped) values
        {299, 0.01, {2 / 128.0, 4 / 128.0, 6 / 128.0}},
        {300, 0.01, {0, 0, 0}}, // past the last sample
        {0, std::numeric_limits<double>::infinity(), {0, 0, 0}},
        {5, 1e300, {0, 0, 0}},
        {100, std::nan(""), {0, 0, 0}},
    };
    for (const Case& c : cases) {
        s.position = c.position;
        s.samplesPerMs = c.samplesPerMs;
        const std::array<double, 3> v = GSensorCurrentValues(s);
        for (int a = 0; a < 3; ++a)
            EXPECT_DOUBLE_EQ(v[size_t(a)], c.values[size_t(a)]) << c.position << " axis " << a;
    }
}

TEST(GSensorCurveMath, DurationIsCountOverRate) {
    GSensorCurveState s = WithSamples(600);
    s.samplesPerMs = 0.01;
    EXPECT_DOUBLE_EQ(GSensorDuration(s), 60000.0);
    s.samplesPerMs = 0.0;
    EXPECT_TRUE(std::isinf(GSensorDuration(s)));
    // No samples has no length even without a rate (not 0 / 0).
    s.samples.clear();
    EXPECT_EQ(GSensorDuration(s), 0.0);
}

} // namespace
