#pragma once
// Cards for the index benchmark.
#include <QString>
#include <cstdint>

namespace bench {

// `count` one-minute recordings of chunk data (the layout both halvex and
// exiftool read), front/rear pairs, in trips of ten minutes with ten-minute
// pauses, driven through Tokyo with G-sensor samples; each mdat grown by
// `mediaBytes` of sparse hole, so the GPS and G-sensor boxes lie as far
// behind the header as a camera's minute of video puts them.
bool WriteIndexCard(const QString& root, int count, uint64_t mediaBytes, QString* error);

// `hours` of front-only five-minute recordings, one fix a second and ten
// samples, in trips of an hour: 3600 fixes an hour.
bool WriteHoursCard(const QString& root, int hours, QString* error);

} // namespace bench
