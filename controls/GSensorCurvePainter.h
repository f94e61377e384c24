#pragma once
// Drawing of the G-sensor strip into any paint device: the widget paints into
// an off-screen image with these, and tests read their pixels back.
#include "controls/GSensorCurveLines.h"
#include "controls/GSensorCurveMath.h"

#include <QRect>
#include <array>

class QPainter;

// Background, zero-G line, left axis, tick marks and the curves.
void DrawGSensorGraph(QPainter& painter, QSize client, const GSensorCurveState& state,
                      GSensorCurveDrawing drawing);

// The 2-pixel cursor at column x, reaching 4 pixels beyond the plot.
void DrawGSensorCursor(QPainter& painter, const GSensorPlot& plot, int x);

// Scale labels and the legend; returns the legend boxes of X, Y and Z, which
// a click toggles.
std::array<QRect, 3> DrawGSensorLabels(QPainter& painter, QSize client,
                                       const GSensorCurveState& state);
