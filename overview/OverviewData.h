#pragma once
#include "cardindex/CardIndexTypes.h"

#include <vector>

// What the overview window reads of a card: the index's answers. The window
// holds one for as long as it shows it; the index behind it stays the
// owner's.
class OverviewData {
  public:
    virtual ~OverviewData() = default;
    virtual const std::vector<IndexedRecording>& Recordings() const = 0;
    virtual const std::vector<TripSummary>& Trips() const = 0;
    virtual const std::vector<DrivingEvent>& Events() const = 0;
    // Every recording passing within radiusM of the place, closest first.
    virtual std::vector<NearHit> Near(double latitude, double longitude, double radiusM) const = 0;
    virtual CardLife Life() const = 0;
};

// Answers held as plain values; Near walks the points.
class OverviewValues : public OverviewData {
  public:
    std::vector<IndexedRecording> recordings;
    std::vector<TripSummary> trips;
    std::vector<DrivingEvent> events;
    CardLife life;

    const std::vector<IndexedRecording>& Recordings() const override { return recordings; }
    const std::vector<TripSummary>& Trips() const override { return trips; }
    const std::vector<DrivingEvent>& Events() const override { return events; }
    std::vector<NearHit> Near(double latitude, double longitude, double radiusM) const override;
    CardLife Life() const override { return life; }
};
