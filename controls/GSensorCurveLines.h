#pragma once
#include "controls/GSensorCurveMath.h"

class QPainter;

enum class GSensorCurveDrawing {
    // One line per sample and axis, in sample order.
    Direct,
    // The same pixels with one run per colour where samples share a column:
    // an hour of samples on a screen-wide strip puts hundreds in each column.
    ColumnReduced,
};

// The three curves (nothing when stopped), into the plot of the client area.
void DrawGSensorCurves(QPainter& painter, const GSensorPlot& plot, const GSensorCurveState& state,
                       GSensorCurveDrawing drawing);
