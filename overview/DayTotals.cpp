#include "overview/DayTotals.h"

#include <QDateTime>
#include <algorithm>
#include <map>

QDate LocalDayOf(int64_t utcMs) {
    return QDateTime::fromMSecsSinceEpoch(utcMs, Qt::LocalTime).date();
}

std::vector<DayTotal> TotalsPerDay(const std::vector<TripSummary>& trips) {
    std::map<QDate, DayTotal> days;
    for (const TripSummary& t : trips) {
        const QDate day = LocalDayOf(t.startUtcMs);
        DayTotal& d = days[day];
        d.day = day;
        ++d.trips;
        d.distanceM += t.distanceM;
        d.durationMs += t.durationMs;
        d.movingMs += t.movingMs;
        d.maxKmh = std::max(d.maxKmh, t.maxKmh);
        d.events += t.eventCount;
    }
    std::vector<DayTotal> out;
    for (const auto& entry : days)
        out.push_back(entry.second);
    return out;
}
