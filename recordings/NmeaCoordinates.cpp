#include "recordings/NmeaCoordinates.h"

#include <cmath>

double MinutesToDegrees(double x) {
    const double whole = std::trunc(x);
    return whole + (x - whole) * 100.0 / 60.0;
}

double NmeaToDegrees(double value) {
    return MinutesToDegrees(value / 100.0);
}

bool IsPlausiblePosition(double latitude, double longitude) {
    return std::isfinite(latitude) && std::isfinite(longitude) && std::fabs(latitude) <= 90.0 &&
           std::fabs(longitude) <= 180.0;
}
