#pragma once

// A chunk-variant coordinate, stored as degrees * 100 + minutes, in decimal
// degrees: x = value / 100, trunc(x) + (x - trunc(x)) * 100 / 60.
double NmeaToDegrees(double value);

// A position that can be drawn or written: both values finite, the latitude
// within +-90 and the longitude within +-180 degrees. Anything else (a
// damaged record, a zero denominator) never reaches a file or a map script.
bool IsPlausiblePosition(double latitude, double longitude);
