#pragma once
// Index answers of made-up cards, as the card index would give them: for the
// overview's tests and benchmark, which need known drives without reading
// camera files.
#include "cardindex/CardIndexTypes.h"

#include <QString>
#include <vector>

namespace synth {

struct IndexedCard {
    std::vector<IndexedRecording> recordings;
    std::vector<TripSummary> trips;
    std::vector<DrivingEvent> events;
    CardLife life;
};

// Trips of two one-minute recordings each, two trips a day from 1 March 2026
// (local 08:00 and 17:00), one fix a second. Trip t drives east along
// latitude 35.60 + 0.01 t from longitude 139.70, 0.0002 degrees a second,
// at a speed that swings between 20 and 100 km/h. Each trip has a harsh
// braking 30 s into its second recording. Recording r is FOLDER/r.MP4 unless
// paths are given.
struct StraightCardShape {
    int days = 3;
    QString folder = QStringLiteral("/card");
    std::vector<QString> paths; // optional, one per recording
};
IndexedCard StraightTripsCard(const StraightCardShape& shape = {});

constexpr double kFirstLatitude = 35.60;
constexpr double kFirstLongitude = 139.70;
constexpr double kDegreesPerSecond = 0.0002;
constexpr double kTripLatitudeStep = 0.01;

// A card of `days` days of town driving: two or three trips a day of 6 to
// 14 one-minute recordings, every trip leaving from the same home corner
// (kHomeLatitude, kHomeLongitude) on a winding road, with stops at lights,
// a harsh braking at each trip's first stop and, on some trips, a sharp
// corner, an impact or a camera event. The figures are worked out from the
// points.
IndexedCard TownDrivingCard(int days = 4);
constexpr double kHomeLatitude = 35.6812;
constexpr double kHomeLongitude = 139.7671;

} // namespace synth
