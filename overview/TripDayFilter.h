#pragma once
#include <QDate>
#include <QSortFilterProxyModel>

// The trip list of one day (its total row and its trips), or of every day:
// the rows of TripListModel whose day role is the chosen day.
class TripDayFilter : public QSortFilterProxyModel {
    Q_OBJECT
  public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    // An invalid day shows every day.
    void SetDay(const QDate& day);
    QDate Day() const { return day_; }

  protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

  private:
    QDate day_;
};
