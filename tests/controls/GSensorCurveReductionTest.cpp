// The column-reduced drawing must give exactly the pixels of one line per
// sample and axis.
#include "controls/GSensorCurvePainter.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <random>

namespace {

QImage Draw(QSize client, const GSensorCurveState& state, GSensorCurveDrawing drawing) {
    QImage img(client, QImage::Format_RGB32);
    QPainter p(&img);
    DrawGSensorGraph(p, client, state, drawing);
    return img;
}

int DifferingPixels(const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

// Noise around a slow swing, with runs that sit on rows 20 and 60 and
// sprinkled invalid readings, so every rule of the curve meets the reduction.
std::vector<GSensorSample> Samples(size_t count, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> noise(-20, 20), pick(0, 99);
    std::vector<GSensorSample> out(count);
    for (size_t i = 0; i < count; ++i) {
        const int swing = int(100 * std::sin(double(i) / 37.0));
        int16_t v[3] = {int16_t(swing + noise(rng)), int16_t(-swing / 2 + noise(rng)),
                        int16_t(noise(rng) * 3)};
        const int r = pick(rng);
        if (r < 3)
            v[r] = r == 1 ? -128 : 128; // invalid: skipped
        else if (r < 15)
            v[r % 3] = 127; // row 20 at this size
        else if (r < 25)
            v[r % 3] = 25; // row 60
        if (i % 200 < 30)  // a stretch pinned to the hidden rows
            v[0] = i % 2 ? 127 : 25;
        out[i] = {v[0], v[1], v[2]};
    }
    return out;
}

TEST(GSensorCurveReduction, SamePixelsAsOneLinePerSample) {
    struct Case {
        QSize client;
        size_t count;
        std::array<bool, 3> visible;
        double fullScale;
    } cases[] = {
        {{226, 128}, 5000, {true, true, true}, 2.0},   // 25 samples per column
        {{226, 128}, 199, {true, true, true}, 2.0},    // just under one per column
        {{226, 128}, 200, {true, true, true}, 2.0},    // one per column
        {{226, 128}, 401, {true, true, true}, 2.0},    // two, now and then three
        {{226, 128}, 60, {true, true, true}, 2.0},     // sparse: long lines only
        {{226, 128}, 5000, {true, false, true}, 2.0},  // a hidden axis
        {{226, 128}, 5000, {false, false, true}, 8.0}, // clamped readings
        {{1000, 180}, 36000, {true, true, true}, 4.0}, // an hour at 10 per second
    };
    unsigned seed = 1;
    for (const Case& c : cases) {
        GSensorCurveState s;
        s.samples = Samples(c.count, seed++);
        s.fullScale = c.fullScale;
        std::copy(c.visible.begin(), c.visible.end(), s.axisVisible);
        const QImage direct = Draw(c.client, s, GSensorCurveDrawing::Direct);
        const QImage reduced = Draw(c.client, s, GSensorCurveDrawing::ColumnReduced);
        EXPECT_EQ(DifferingPixels(direct, reduced), 0)
            << c.count << " samples at " << c.client.width() << " x " << c.client.height();
    }
}

} // namespace
