#pragma once

// A chunk-variant coordinate, stored as degrees * 100 + minutes, in decimal
// degrees: x = value / 100, trunc(x) + (x - trunc(x)) * 100 / 60.
double NmeaToDegrees(double value);
