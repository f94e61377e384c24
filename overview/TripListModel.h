#pragma once
#include "cardindex/CardIndexTypes.h"
#include "presenter/FigureTexts.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QStringList>
#include <vector>

// The card's trips by local day as the trip list shows them: each day's
// total row, then its trips, with the texts of their figures.
class TripListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Role {
        kTripRole = Qt::UserRole, // the trip's index; -1 on a day's total row
        kDayRole,                 // the row's local day
    };
    static constexpr int kColumns = 9;

    explicit TripListModel(QObject* parent = nullptr);

    // A card's trips (none when empty), shown with `texts`.
    void SetTrips(const std::vector<TripSummary>& trips, const FigureTexts& texts);
    // Every text again, in the current language and with `texts`; the rows
    // stay as they are.
    void SetTexts(const FigureTexts& texts);

    // The days that have trips, earliest first.
    std::vector<QDate> Days() const;
    // The trips of a day, in list order; of every day when `day` is invalid.
    std::vector<int> TripsOfDay(const QDate& day) const;
    const QStringList& RowTexts(int row) const { return rows_[size_t(row)].texts; }
    bool IsDayTotal(int row) const { return rows_[size_t(row)].trip < 0; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    struct Row {
        int trip = -1;
        QDate day;
        QStringList texts;
    };
    void MakeTexts(const FigureTexts& texts);

    std::vector<TripSummary> trips_;
    std::vector<Row> rows_;
    QStringList headers_;
};
