#pragma once
#include "recordings/TripModel.h"

#include <QByteArray>

// GPX 1.1: one track for the trip, one segment per recording that has
// points. Speed (m/s) and course (degrees) go into Garmin's
// TrackPointExtension v2, which map programs and GPSBabel read.
QByteArray GpxDocument(const Trip& trip, const QString& name);
