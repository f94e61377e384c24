#pragma once
#include "tools/synth/RecordingRecipe.h"

#include <QByteArray>
#include <QDateTime>

// The 88-byte records of the metadata track: GPS as the receiver reports it
// (UTC, NMEA coordinates as fractions, knots) and one G-sensor sample.
namespace synth {

constexpr int kTrackRecordSize = 88;
constexpr int32_t kFractionDenominator = 1000;

// The whole hours the viewer adds to a record's UTC time at this position,
// computed from the coordinates as it decodes them from the fractions.
int ViewerZoneHours(double latitude, double longitude);

// Decimal degrees as the viewer decodes a stored fraction.
double DecodedDegrees(int32_t numerator, int32_t denominator);

// One record for the wall-clock second `wallClock`; either part may be absent.
// The viewer takes 4 km/h off every speed, so they are added back here.
QByteArray TrackRecord(const Fix* fix, const GSensorSample* sample, const QDateTime& wallClock);

// All records of a recording: record i holds fix i and sample i, at 5 a second.
QByteArray TrackRecords(const RecordingRecipe& recipe, int* count);

} // namespace synth
