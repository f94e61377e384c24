#pragma once
// Trips of a card: which recordings belong together, and each trip's figures.
#include "cardindex/CardIndexTypes.h"

#include <cstdint>
#include <vector>

// When a recording began and ended, in ms since 1970 UTC: the scanned start
// and length, else its first and last fix; false when neither is known.
bool RecordingSpan(const IndexedRecording& recording, int64_t* startMs, int64_t* endMs);

// The counted recordings (counted[i] true) grouped into trips: sorted by
// start, a recording whose start lies at most gapMs after the end of the
// trip so far joins it (overlaps too). Recordings of unknown time are left
// out. Each trip lists indices into `recordings`, in time order.
std::vector<std::vector<int>> SplitTrips(const std::vector<IndexedRecording>& recordings,
                                         const std::vector<bool>& counted, int64_t gapMs);

// Distance and motion along the fixes of one recording, worked out once
// when it is indexed: a trip adds these up.
struct TrackFigures {
    double distanceM = 0;
    double movingM = 0;
    int64_t movingMs = 0; // above 3 km/h
    double maxKmh = 0;
};
TrackFigures FiguresOfTrack(const std::vector<IndexedPoint>& points);

// The figures of one trip of the given recordings (its fixes in time order),
// from each recording's figures (`figures`, one per recording) and the steps
// between one recording's last fix and the next one's first. eventCount and
// number are left for the caller.
TripSummary TripFiguresOf(const std::vector<IndexedRecording>& recordings,
                          const std::vector<TrackFigures>& figures, const std::vector<int>& trip);

// The geodesic distance on the WGS84 ellipsoid, in metres.
double GeodesicMetres(double lat1, double lon1, double lat2, double lon2);

// The place `share` (0..1) of the way along the geodesic from the first
// place to the second.
void PointAlong(double lat1, double lon1, double lat2, double lon2, double share, double* lat,
                double* lon);
