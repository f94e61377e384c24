#include "recordings/RoutePlottingMath.h"

#include "recordings/NmeaCoordinates.h"

bool IsPlottableChunkPoint(const GpsPoint& p) {
    return p.HasFix() && p.latitude / 100.0 < 200.0 && p.longitude / 100.0 < 200.0 &&
           IsPlausiblePosition(MinutesToDegrees(p.latitude / 100.0),
                               MinutesToDegrees(p.longitude / 100.0));
}
