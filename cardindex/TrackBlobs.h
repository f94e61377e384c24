#pragma once
// The byte form of a cached track's parts in the card index's database:
// fixed-size little-endian records, so a blob's length tells its count.
#include "cardindex/CardIndexTypes.h"
#include "cardindex/TripFigures.h"

#include <QByteArray>
#include <vector>

QByteArray PointBlob(const std::vector<IndexedPoint>& points);
QByteArray EventBlob(const std::vector<DrivingEvent>& events);
QByteArray FiguresBlob(const TrackFigures& figures);

// False when the bytes are not of that form.
bool ReadPoints(const QByteArray& blob, std::vector<IndexedPoint>* out);
bool ReadEvents(const QByteArray& blob, std::vector<DrivingEvent>* out);
bool ReadFigures(const QByteArray& blob, TrackFigures* out);
