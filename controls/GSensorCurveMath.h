#pragma once
// Arithmetic of the G-sensor curve: plot geometry, tick spacing, the reading
// of one axis and where the cursor and the legend values come from. Pure
// functions, so the drawing and its tests share one definition.
#include "presenter/CatalogViews.h"

#include <QSize>
#include <array>

struct GSensorPlot {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int x0 = 0;
    int width = 0;
    int height = 0;
    int y0 = 0; // the zero-G row

    static GSensorPlot FromClient(QSize client);
};

// g of one axis: the low byte of the stored value as a signed count.
double GSensorAxisReading(int16_t raw, double fullScale);

// A sample with a component of magnitude 128 is an invalid reading and is
// left out of the curves.
bool IsSkippedGSensorSample(const GSensorSample& sample);

// Pixel row of a reading, clamped to the range shown.
int GSensorRowOf(double g, double range, const GSensorPlot& plot);

// Milliseconds that the tick marks span across the plot width.
int GSensorTickWindow(const GSensorCurveState& state, int plotWidth);

// Length of tick mark i: long every tenth, medium every fifth.
int GSensorTickLength(int i);

// x of the cursor for the current position and the slider's shared state.
int GSensorCursorX(const GSensorCurveState& state, const GSensorPlot& plot, int seekCursorX,
                   bool seekHappened);

// Readings of the three axes at the current position; 0 past the last sample.
std::array<double, 3> GSensorCurrentValues(const GSensorCurveState& state);

// count / samples per millisecond, as RecalcScale keeps it.
double GSensorDuration(const GSensorCurveState& state);
