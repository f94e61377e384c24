#pragma once
#include "recordings/GpsPoint.h"

#include <QString>

// Degrees + minutes / 100 (a chunk-variant coordinate divided by 100) to
// decimal degrees; trunc cuts toward zero, so the sign is kept.
double MinutesToDegrees(double x);

// A chunk-variant record can be drawn when it has a fix, both coordinates,
// divided by 100, lie below 200, and the position is on the globe.
bool IsPlottableChunkPoint(const GpsPoint& p);

// The texts the map page understands. Numbers are "%f" in the C locale,
// latitude first.
QString MovePositionScript(double latitude, double longitude);
QString PathPlotScript(double latitude, double longitude);
QString DrivenPlotScript(double latitude, double longitude);

inline const char* const kPathDeleteScript = "path_delete()";
inline const char* const kDrivenDeleteScript = "pathdrived_delete()";
