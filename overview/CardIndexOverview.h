#pragma once
#include "cardindex/CardIndex.h"
#include "overview/OverviewData.h"

#include <QString>
#include <memory>

// The card index as the overview reads it. Trips, events and the card's life
// are taken once, when the index is ready; "when was I here?" asks the
// index each time.
class CardIndexOverview : public OverviewData {
  public:
    CardIndexOverview(std::shared_ptr<const CardIndex> index, const QString& cardFolder);

    const std::vector<IndexedRecording>& Recordings() const override;
    const std::vector<TripSummary>& Trips() const override { return trips_; }
    const std::vector<DrivingEvent>& Events() const override { return events_; }
    std::vector<NearHit> Near(double latitude, double longitude, double radiusM) const override;
    std::vector<NearHit> InBox(const GeoBox& box) const override { return index_->InBox(box); }
    CardLife Life() const override { return life_; }

  private:
    std::shared_ptr<const CardIndex> index_;
    std::vector<TripSummary> trips_;
    std::vector<DrivingEvent> events_;
    CardLife life_;
};
