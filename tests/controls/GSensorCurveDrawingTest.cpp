// The strip's pixels, drawn off-screen and read back.
#include "controls/GSensorCurveColors.h"
#include "controls/GSensorCurvePainter.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

// 226 x 128 gives a plot 200 wide from x = 24, rows 20..120, zero-G row 70;
// with full scale and range 2, a count of 64 is 1 G, row 45.
const QSize kClient(226, 128);

QImage Graph(const GSensorCurveState& state,
             GSensorCurveDrawing drawing = GSensorCurveDrawing::ColumnReduced) {
    QImage img(kClient, QImage::Format_RGB32);
    QPainter p(&img);
    DrawGSensorGraph(p, kClient, state, drawing);
    return img;
}

QColor At(const QImage& img, int x, int y) {
    return img.pixelColor(x, y);
}

GSensorCurveState Loaded(std::vector<GSensorSample> samples) {
    GSensorCurveState s;
    s.samples = std::move(samples);
    s.fullScale = 2.0;
    s.range = 2.0;
    s.samplesPerMs = 0.01;
    s.scaleMode = 2;
    s.pixelsPerMs = 0.01;
    return s;
}

TEST(GSensorCurveDrawing, EmptyStripShowsAxesAndTicks) {
    // No samples, mode 0: a 20000 ms window, 100 marks across 200 pixels.
    const QImage img = Graph(GSensorCurveState{});
    for (int x = 25; x < 224; ++x)
        ASSERT_EQ(At(img, x, 70), GSensorColors::kZeroLine) << x;
    EXPECT_EQ(At(img, 224, 70), GSensorColors::kBackground); // the line ends at the plot edge
    for (int y = 20; y < 120; ++y)
        ASSERT_EQ(At(img, 24, y), GSensorColors::kAxis) << y;
    EXPECT_EQ(At(img, 24, 120), GSensorColors::kBackground);

    // Above the zero-G line: long marks every 20 pixels, medium halfway,
    // short ones every 2 pixels; nothing between them.
    struct Mark {
        int x;
        int length;
    } marks[] = {{44, 6}, {54, 4}, {46, 2}, {64, 6}, {222, 2}};
    for (const Mark& m : marks) {
        for (int y = 70 - m.length; y < 70; ++y)
            EXPECT_EQ(At(img, m.x, y), GSensorColors::kAxis) << m.x << "," << y;
        EXPECT_EQ(At(img, m.x, 69 - m.length), GSensorColors::kBackground) << m.x;
        EXPECT_EQ(At(img, m.x + 1, 69), GSensorColors::kBackground) << m.x + 1;
    }
    for (int y = 114; y < 120; ++y) // and the same marks above the bottom
        EXPECT_EQ(At(img, 44, y), GSensorColors::kAxis) << y;
    EXPECT_EQ(At(img, 44, 113), GSensorColors::kBackground);
    for (int y = 14; y < 20; ++y) // and above the top
        EXPECT_EQ(At(img, 44, y), GSensorColors::kAxis) << y;
}

TEST(GSensorCurveDrawing, CurvesJoinAcrossASkippedSample) {
    // Step 50: samples at x = 24, 74, 124, 174. X holds 1 G except sample 2,
    // whose 128 (read as -2 G) must not pull the curve to the bottom.
    GSensorCurveState s = Loaded({{64, 0, 0}, {64, 0, 0}, {128, 0, 0}, {64, 0, 0}});
    const QImage img = Graph(s);
    for (int x : {24, 74, 100, 124, 150, 174})
        EXPECT_EQ(At(img, x, 45), GSensorColors::kCurve[0]) << x;
    for (int y = 46; y < 120; ++y)
        EXPECT_NE(At(img, 124, y), GSensorColors::kCurve[0]) << y;
    // Y and Z stay at 0 G and, drawn after the zero-G line, cover it; Z last.
    EXPECT_EQ(At(img, 100, 70), GSensorColors::kCurve[2]);
    EXPECT_EQ(At(img, 200, 70), GSensorColors::kZeroLine); // beyond the last sample
}

TEST(GSensorCurveDrawing, ReadingsBeyondTheRangeLieOnThePlotEdge) {
    GSensorCurveState s = Loaded({{-127, 0, 0}, {-127, 0, 0}});
    s.fullScale = 8.0; // -7.9 G, shown at -2 G
    const QImage img = Graph(s);
    for (int x = 24; x <= 124; ++x)
        ASSERT_EQ(At(img, x, 120), GSensorColors::kCurve[0]) << x;
    EXPECT_NE(At(img, 124, 121), GSensorColors::kCurve[0]);
}

TEST(GSensorCurveDrawing, SegmentsBetweenRows20And60AreLeftOut) {
    // Step 40: x = 24, 64, 104, 144, 184; X rows 20, 20, 60, 60, 70 (127 and
    // 25 counts), and a contrast run on row 21 for Y (125 counts).
    GSensorCurveState s = Loaded({{127, 125, 0}, {127, 125, 0}, {25, 0, 0}, {25, 0, 0}, {0, 0, 0}});
    s.axisVisible[2] = false;
    const QImage img = Graph(s);
    const QColor& x = GSensorColors::kCurve[0];
    for (int c = 25; c < 64; ++c)
        ASSERT_NE(At(img, c, 20), x) << c; // 20 -> 20
    for (int c = 104; c < 144; ++c)
        ASSERT_NE(At(img, c, 60), x) << c; // 60 -> 60
    EXPECT_NE(At(img, 84, 40), x);         // 20 -> 60, anywhere along it
    for (int r = 21; r < 60; ++r)
        ASSERT_NE(At(img, 84, r), x) << r;
    // The first segment (from the zero-G row up to row 20) and the last one
    // (row 60 down to 70) are drawn.
    EXPECT_EQ(At(img, 24, 20), x);
    EXPECT_EQ(At(img, 164, 65), x);
    EXPECT_EQ(At(img, 44, 21), GSensorColors::kCurve[1]);
}

TEST(GSensorCurveDrawing, StoppedOrHiddenCurvesAreNotDrawn) {
    std::vector<GSensorSample> samples;
    for (int i = 0; i < 400; ++i)
        samples.push_back({int16_t(i % 90 - 45), int16_t(60 - i % 120), int16_t(i % 7 * 9)});
    struct Case {
        bool stopped;
        std::array<bool, 3> visible;
    } cases[] = {
        {true, {true, true, true}}, {false, {false, true, true}}, {false, {true, false, false}}};
    for (const Case& c : cases) {
        GSensorCurveState s = Loaded(samples);
        s.stopped = c.stopped;
        std::copy(c.visible.begin(), c.visible.end(), s.axisVisible);
        const QImage img = Graph(s);
        int seen[3] = {0, 0, 0};
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                for (int a = 0; a < 3; ++a)
                    seen[a] += At(img, x, y) == GSensorColors::kCurve[a];
        for (int a = 0; a < 3; ++a)
            EXPECT_EQ(seen[a] > 0, !c.stopped && c.visible[size_t(a)])
                << "stopped " << c.stopped << " axis " << a;
    }
}

TEST(GSensorCurveDrawing, CursorIsTwoPixelsWideAndReachesBeyondThePlot) {
    QImage img(kClient, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    DrawGSensorCursor(p, GSensorPlot::FromClient(kClient), 100);
    p.end();
    for (int y = 16; y < 124; ++y) {
        ASSERT_EQ(At(img, 99, y), GSensorColors::kCursor) << y;
        ASSERT_EQ(At(img, 100, y), GSensorColors::kCursor) << y;
    }
    EXPECT_NE(At(img, 98, 70), GSensorColors::kCursor);
    EXPECT_NE(At(img, 101, 70), GSensorColors::kCursor);
    EXPECT_NE(At(img, 100, 15), GSensorColors::kCursor);
    EXPECT_NE(At(img, 100, 124), GSensorColors::kCursor);
}

} // namespace
