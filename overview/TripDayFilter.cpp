#include "overview/TripDayFilter.h"

#include "overview/TripListModel.h"

void TripDayFilter::SetDay(const QDate& day) {
    if (day == day_)
        return;
    day_ = day;
    invalidateFilter();
}

bool TripDayFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    if (!day_.isValid())
        return true;
    return sourceModel()
               ->index(sourceRow, 0, sourceParent)
               .data(TripListModel::kDayRole)
               .toDate() == day_;
}
