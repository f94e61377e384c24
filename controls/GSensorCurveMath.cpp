#include "controls/GSensorCurveMath.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

GSensorPlot GSensorPlot::FromClient(QSize client) {
    GSensorPlot p;
    p.left = 24;
    p.top = 20;
    p.right = client.width() - 2;
    p.bottom = client.height() - 8;
    p.x0 = p.left;
    p.width = p.right - p.left;
    p.height = p.bottom - p.top;
    p.y0 = p.top + p.height / 2;
    return p;
}

double GSensorAxisReading(int16_t raw, double fullScale) {
    const int8_t count = int8_t(uint8_t(uint16_t(raw) & 0xFF));
    return count * fullScale / 128;
}

bool IsSkippedGSensorSample(const GSensorSample& s) {
    return std::abs(s.x) == 128 || std::abs(s.y) == 128 || std::abs(s.z) == 128;
}

int GSensorRowOf(double g, double range, const GSensorPlot& plot) {
    const double clamped = std::max(std::min(g, range), -range);
    return int(plot.y0 - clamped * plot.height / (2 * range));
}

namespace {
// A window that does not fit an int (a zero or tiny rate or scale) would
// otherwise be an undefined conversion and millions of tick marks.
int WholeWindow(double ms) {
    if (!std::isfinite(ms) || ms >= double(INT_MAX) || ms <= double(INT_MIN))
        return 0;
    return int(ms);
}
} // namespace

int GSensorTickWindow(const GSensorCurveState& state, int plotWidth) {
    int w = 0;
    switch (state.scaleMode) {
    case 0:
        w = state.samplesPerMs == 0
                ? 20000
                : WholeWindow(double(unsigned(state.samples.size())) / state.samplesPerMs);
        break;
    case 1:
        w = WholeWindow(state.fixedWindowMs);
        break;
    case 2:
        w = WholeWindow(plotWidth / state.pixelsPerMs);
        break;
    default:
        break;
    }
    return w == 0 ? 20000 : w;
}

int GSensorTickLength(int i) {
    if (i % 10 == 0)
        return 6;
    if (i % 10 == 5)
        return 4;
    return 2;
}

int GSensorCursorX(const GSensorCurveState& state, const GSensorPlot& plot, int seekCursorX,
                   bool seekHappened) {
    const int x = (seekHappened || state.position > 0) ? seekCursorX : plot.x0;
    return x < 0 ? plot.x0 : x;
}

std::array<double, 3> GSensorCurrentValues(const GSensorCurveState& state) {
    // Computed in double and range-checked before the conversion: a zero or
    // non-finite rate must not turn into an out-of-range index.
    const double index = std::trunc(std::trunc(state.position) * state.samplesPerMs);
    if (!(index >= 0) || index >= double(state.samples.size()))
        return {0.0, 0.0, 0.0};
    const GSensorSample& s = state.samples[size_t(index)];
    return {GSensorAxisReading(s.x, state.fullScale), GSensorAxisReading(s.y, state.fullScale),
            GSensorAxisReading(s.z, state.fullScale)};
}

double GSensorDuration(const GSensorCurveState& state) {
    // No samples at a rate of 0 would be 0 / 0: a recording without samples
    // has no length here, whatever its rate.
    if (state.samples.empty())
        return 0.0;
    return double(unsigned(state.samples.size())) / state.samplesPerMs;
}
