#include "overview/TripListModel.h"

#include "overview/DayTotals.h"
#include "strings/UiStrings.h"

#include <QFont>
#include <QLocale>

TripListModel::TripListModel(QObject* parent) : QAbstractTableModel(parent) {}

void TripListModel::SetTrips(const std::vector<TripSummary>& trips, const FigureTexts& texts) {
    beginResetModel();
    trips_ = trips;
    rows_.clear();
    // Each trip's day once: a local date costs a time zone look-up.
    std::vector<QDate> tripDays;
    for (const TripSummary& trip : trips_)
        tripDays.push_back(LocalDayOf(trip.startUtcMs));
    for (const DayTotal& day : TotalsPerDay(trips_)) {
        rows_.push_back({-1, day.day, {}});
        for (size_t t = 0; t < trips_.size(); ++t)
            if (tripDays[t] == day.day)
                rows_.push_back({int(t), day.day, {}});
    }
    MakeTexts(texts);
    endResetModel();
}

void TripListModel::SetTexts(const FigureTexts& texts) {
    MakeTexts(texts);
    if (!rows_.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1), {Qt::DisplayRole});
    emit headerDataChanged(Qt::Horizontal, 0, kColumns - 1);
}

void TripListModel::MakeTexts(const FigureTexts& texts) {
    headers_ = QStringList{LoadUiString(UiStringId::kOverviewColDate),
                           LoadUiString(UiStringId::kOverviewColStart),
                           LoadUiString(UiStringId::kOverviewColEnd),
                           LoadUiString(UiStringId::kOverviewColDistance),
                           LoadUiString(UiStringId::kOverviewColDuration),
                           LoadUiString(UiStringId::kOverviewColMoving),
                           LoadUiString(UiStringId::kOverviewColMax),
                           LoadUiString(UiStringId::kOverviewColAverage),
                           LoadUiString(UiStringId::kOverviewColEvents)};
    const QString dayTotal = LoadUiString(UiStringId::kOverviewDayTotal);
    const std::vector<DayTotal> days = TotalsPerDay(trips_);
    size_t nextDay = 0;
    for (Row& row : rows_) {
        if (row.trip < 0) {
            const DayTotal& day = days[nextDay++];
            row.texts = QStringList{QLocale().toString(day.day, QLocale::ShortFormat),
                                    dayTotal,
                                    QString(),
                                    texts.Distance(day.distanceM),
                                    FigureTexts::Duration(day.durationMs),
                                    FigureTexts::Duration(day.movingMs),
                                    texts.Speed(day.maxKmh),
                                    QString(),
                                    QString::number(day.events)};
            continue;
        }
        const TripSummary& trip = trips_[size_t(row.trip)];
        row.texts = QStringList{QStringLiteral("#%1").arg(row.trip + 1),
                                FigureTexts::LocalTime(trip.startUtcMs, "HH:mm:ss"),
                                FigureTexts::LocalTime(trip.endUtcMs, "HH:mm:ss"),
                                texts.Distance(trip.distanceM),
                                FigureTexts::Duration(trip.durationMs),
                                FigureTexts::Duration(trip.movingMs),
                                texts.Speed(trip.maxKmh),
                                texts.Speed(trip.averageMovingKmh),
                                QString::number(trip.eventCount)};
    }
}

std::vector<QDate> TripListModel::Days() const {
    std::vector<QDate> days;
    for (const Row& row : rows_)
        if (row.trip < 0)
            days.push_back(row.day);
    return days;
}

std::vector<int> TripListModel::TripsOfDay(const QDate& day) const {
    std::vector<int> trips;
    for (const Row& row : rows_)
        if (row.trip >= 0 && (!day.isValid() || row.day == day))
            trips.push_back(row.trip);
    return trips;
}

int TripListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int TripListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant TripListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || size_t(index.row()) >= rows_.size())
        return {};
    const Row& row = rows_[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return index.column() < row.texts.size() ? row.texts[index.column()] : QString();
    case Qt::FontRole:
        if (row.trip < 0) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case kTripRole:
        return row.trip;
    case kDayRole:
        return row.day;
    default:
        return {};
    }
}

QVariant TripListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= headers_.size())
        return {};
    return headers_[section];
}
