#pragma once
// "When was I here?": one rule for every caller (the index's R*Tree, a walk
// over plain answers, the overview's places list): each recording passing
// within a distance of a place, at its closest approach, found on the lines
// between its fixes.
#include "cardindex/CardIndexTypes.h"

#include <map>
#include <vector>

// Consecutive fixes further apart in time than this are not joined by a
// line: the car was not seen in between.
constexpr int64_t kJoinedFixesMs = 5000;
bool JoinedFixes(const IndexedPoint& a, const IndexedPoint& b);

// Gathers, per recording, the closest approach to the place within the radius.
class NearHits {
  public:
    NearHits(double latitude, double longitude, double radiusM);
    // A place on the globe and a radius not below 0; no hits otherwise.
    bool Asked() const { return asked_; }
    // Fixes first..last of a recording and the lines between them. Runs of
    // one recording that share their boundary fix are as one run.
    void OfferRun(int recording, const std::vector<IndexedPoint>& points, int first, int last);
    // Closest first; of equal distance, the earlier.
    std::vector<NearHit> Hits() const;

  private:
    double latitude_, longitude_, radiusM_;
    bool asked_;
    std::map<int, NearHit> best_; // by recording
};

// Every recording passing within radiusM of the place, by walking all their
// fixes; of a front/rear pair only the one that counts (CountedRecordings).
std::vector<NearHit> RecordingsNear(const std::vector<IndexedRecording>& recordings,
                                    double latitude, double longitude, double radiusM);
