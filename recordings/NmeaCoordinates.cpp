#include "recordings/NmeaCoordinates.h"

#include <cmath>

double NmeaToDegrees(double value) {
    const double x = value / 100.0;
    const double degrees = std::trunc(x);
    return degrees + (x - degrees) * 100.0 / 60.0;
}

bool IsPlausiblePosition(double latitude, double longitude) {
    return std::isfinite(latitude) && std::isfinite(longitude) && std::fabs(latitude) <= 90.0 &&
           std::fabs(longitude) <= 180.0;
}
