#pragma once
#include "recordings/TripModel.h"

#include <QByteArray>

// RFC 4180 text: CRLF line ends, a header line, names always quoted with
// inner quotes doubled, numbers with "." whatever the locale.

// One row per GPS point: file, UTC time, latitude, longitude, altitude (m),
// speed (km/h), heading (degrees). Unknown values are empty cells.
QByteArray CsvPoints(const Trip& trip);

// One row per G-sensor sample: file, offset from the recording's start (ms)
// and the three axes in g.
QByteArray CsvSamples(const Trip& trip);
