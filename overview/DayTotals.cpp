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

QString DurationText(int64_t ms) {
    const int64_t s = std::max<int64_t>(0, (ms + 500) / 1000);
    const int64_t h = s / 3600, m = s / 60 % 60, sec = s % 60;
    if (h > 0)
        return QStringLiteral("%1:%2:%3")
            .arg(h)
            .arg(m, 2, 10, QLatin1Char('0'))
            .arg(sec, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(m).arg(sec, 2, 10, QLatin1Char('0'));
}
