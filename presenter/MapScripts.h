#pragma once
// The texts the map pages understand.
#include <QString>
#include <QStringList>
#include <cstddef>
#include <vector>

// The texts the map page understands. Numbers are "%f" in the C locale,
// latitude first.
QString MovePositionScript(double latitude, double longitude);
QString PathPlotScript(double latitude, double longitude);
QString DrivenPlotScript(double latitude, double longitude);

// The pages' batch functions take one flat array of latitude, longitude pairs
// and append them all to the line, as that many single calls would.
inline const char* const kPathPlotBatch = "path_plot_batch";
inline const char* const kDrivenPlotBatch = "pathdrived_plot_batch";
// Points per batch call: the route of a one-hour recording goes in one call,
// and no single text grows without bound.
constexpr size_t kPointsPerBatch = 20000;

// The calls of the batch function that append the pairs (latitude, longitude,
// latitude, ...), in order. A pair that is not finite is left out, as the page
// would reject it as a single call.
QStringList PlotBatchScripts(const char* function, const std::vector<double>& latLon);

inline const char* const kPathDeleteScript = "path_delete()";
inline const char* const kDrivenDeleteScript = "pathdrived_delete()";
