#pragma once

// Degrees + minutes / 100 (a stored coordinate divided by 100) in decimal
// degrees: trunc(x) + (x - trunc(x)) * 100 / 60. trunc cuts toward zero, so
// south and west keep their sign; a value that is not finite stays so.
double MinutesToDegrees(double x);

// A coordinate stored as degrees * 100 + minutes (the camera's NMEA form) in
// decimal degrees.
double NmeaToDegrees(double value);

// A position that can be drawn or written: both values finite, the latitude
// within +-90 and the longitude within +-180 degrees. Anything else (a
// damaged record, a zero denominator) never reaches a file or a map script.
bool IsPlausiblePosition(double latitude, double longitude);
