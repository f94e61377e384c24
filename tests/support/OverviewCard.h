#pragma once
// The synthesizer's made-up cards as the overview reads them.
#include "overview/OverviewData.h"
#include "tools/synth/IndexedCards.h"

#include <memory>

namespace overviewtest {

using synth::kDegreesPerSecond;
using synth::kFirstLatitude;
using synth::kFirstLongitude;
using synth::kHomeLatitude;
using synth::kHomeLongitude;
using synth::kTripLatitudeStep;
using CardShape = synth::StraightCardShape;

inline std::shared_ptr<OverviewValues> Values(synth::IndexedCard card) {
    auto values = std::make_shared<OverviewValues>();
    values->recordings = std::move(card.recordings);
    values->trips = std::move(card.trips);
    values->events = std::move(card.events);
    values->life = card.life;
    return values;
}

inline std::shared_ptr<OverviewValues> MakeCard(const CardShape& shape = {}) {
    return Values(synth::StraightTripsCard(shape));
}

inline std::shared_ptr<OverviewValues> MakeTouringCard(int days = 4) {
    return Values(synth::TownDrivingCard(days));
}

} // namespace overviewtest
