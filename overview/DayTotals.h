#pragma once
#include "cardindex/CardIndexTypes.h"

#include <QDate>
#include <vector>

// The local calendar day a trip belongs to: the day it started.
QDate LocalDayOf(int64_t utcMs);

struct DayTotal {
    QDate day;
    int trips = 0;
    double distanceM = 0;
    int64_t durationMs = 0;
    int64_t movingMs = 0;
    double maxKmh = 0;
    int events = 0;
};

// One total per local day that has trips, earliest first.
std::vector<DayTotal> TotalsPerDay(const std::vector<TripSummary>& trips);
