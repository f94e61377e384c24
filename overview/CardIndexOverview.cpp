#include "overview/CardIndexOverview.h"

CardIndexOverview::CardIndexOverview(std::shared_ptr<const CardIndex> index,
                                     const QString& cardFolder)
    : index_(std::move(index)), trips_(index_->Trips()), events_(index_->Events()),
      life_(index_->Life(cardFolder)) {}

const std::vector<IndexedRecording>& CardIndexOverview::Recordings() const {
    return index_->Recordings();
}

std::vector<NearHit> CardIndexOverview::Near(double latitude, double longitude,
                                             double radiusM) const {
    return index_->Near(latitude, longitude, radiusM);
}
