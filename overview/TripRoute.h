#pragma once
#include "cardindex/CardIndexTypes.h"

#include <vector>

// One point of a trip's route: which recording and which of its points.
struct RouteStop {
    int recording = -1;
    int point = -1;
};

// A trip's route in time order: the points of its recordings one after
// another.
std::vector<RouteStop> TripRoute(const std::vector<IndexedRecording>& recordings,
                                 const TripSummary& trip);

// The stop of the route nearest to a place; {-1,-1} for an empty route.
RouteStop NearestStop(const std::vector<IndexedRecording>& recordings,
                      const std::vector<RouteStop>& route, double latitude, double longitude);

// The trip (index into trips) holding a recording; -1 when none does.
int TripOfRecording(const std::vector<TripSummary>& trips, int recording);

// Where playing a moment starts: an event a few seconds before it, so the
// lead-up is seen; never before the recording's start.
uint32_t PlayOffsetForEvent(uint32_t eventOffsetMs);
