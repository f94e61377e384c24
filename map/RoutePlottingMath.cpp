#include "map/RoutePlottingMath.h"

#include "recordings/NmeaCoordinates.h"

#include <cmath>

double MinutesToDegrees(double x) {
    const double whole = std::trunc(x);
    return whole + (x - whole) * 100.0 / 60.0;
}

bool IsPlottableChunkPoint(const GpsPoint& p) {
    return p.HasFix() && p.latitude / 100.0 < 200.0 && p.longitude / 100.0 < 200.0 &&
           IsPlausiblePosition(MinutesToDegrees(p.latitude / 100.0),
                               MinutesToDegrees(p.longitude / 100.0));
}

// QString::asprintf formats numbers without regard to the process's locale,
// which keeps "." as the decimal point the page's parser expects.
QString MovePositionScript(double latitude, double longitude) {
    return QString::asprintf("movpos(%f, %f)", latitude, longitude);
}

QString PathPlotScript(double latitude, double longitude) {
    return QString::asprintf("path_plot(%f,%f)", latitude, longitude);
}

QString DrivenPlotScript(double latitude, double longitude) {
    return QString::asprintf("pathdrived_plot(%f,%f)", latitude, longitude);
}
