#pragma once
#include "recordings/GpsPoint.h"

// A GPS point the route lines pass through: its index in the track and its
// position in decimal degrees.
struct RoutePoint {
    int index = 0;
    double latitude = 0;
    double longitude = 0;
};

// A chunk-variant record can be drawn when it has a fix, both coordinates,
// divided by 100, lie below 200, and the position is on the globe.
bool IsPlottableChunkPoint(const GpsPoint& p);
