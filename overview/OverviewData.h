#pragma once
#include "cardindex/BoxQuery.h"
#include "cardindex/CardIndexTypes.h"
#include "cardindex/NearQuery.h"

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
    // Every recording with a fix inside the box, as BoxHits answers.
    virtual std::vector<NearHit> InBox(const GeoBox& box) const = 0;
    virtual CardLife Life() const = 0;

    // One of the answers by its index, or null when there is no such one:
    // the pages and lists hand indices back, which may be of an older card.
    const IndexedRecording* Recording(int index) const { return At(Recordings(), index); }
    const TripSummary* Trip(int index) const { return At(Trips(), index); }
    const DrivingEvent* Event(int index) const { return At(Events(), index); }

  private:
    template <class T> static const T* At(const std::vector<T>& items, int index) {
        return index >= 0 && size_t(index) < items.size() ? &items[size_t(index)] : nullptr;
    }
};

// Answers held as plain values; Near and InBox walk the points by the
// index's own rules.
class OverviewValues : public OverviewData {
  public:
    std::vector<IndexedRecording> recordings;
    std::vector<TripSummary> trips;
    std::vector<DrivingEvent> events;
    CardLife life;

    const std::vector<IndexedRecording>& Recordings() const override { return recordings; }
    const std::vector<TripSummary>& Trips() const override { return trips; }
    const std::vector<DrivingEvent>& Events() const override { return events; }
    std::vector<NearHit> Near(double latitude, double longitude, double radiusM) const override {
        return RecordingsNear(recordings, latitude, longitude, radiusM);
    }
    std::vector<NearHit> InBox(const GeoBox& box) const override {
        return RecordingsInBox(recordings, box);
    }
    CardLife Life() const override { return life; }
};
