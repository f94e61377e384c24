#pragma once
// The places of an index's fixes in an in-memory SQLite R*Tree, so that
// "when was I here?" reads only the stretches near the place.
#include "cardindex/CardIndexTypes.h"

#include <vector>

struct GeoBox;
struct sqlite3;

class CardIndexStore {
  public:
    CardIndexStore() = default;
    ~CardIndexStore();
    CardIndexStore(const CardIndexStore&) = delete;
    CardIndexStore& operator=(const CardIndexStore&) = delete;

    // Indexes the fixes of the recordings marked in `counted`; false when
    // SQLite cannot (then every question answers nothing).
    bool Build(const std::vector<IndexedRecording>& recordings, const std::vector<bool>& counted);

    // The closest approach of each recording passing within radiusM of the
    // place, measured to the line between consecutive fixes; nearest first.
    std::vector<NearHit> Near(const std::vector<IndexedRecording>& recordings, double latitude,
                              double longitude, double radiusM) const;

    // Each recording with a fix inside the box, as BoxHits answers.
    std::vector<NearHit> InBox(const std::vector<IndexedRecording>& recordings,
                               const GeoBox& box) const;

  private:
    // A short run of consecutive fixes of one recording, one R*Tree entry.
    struct Run {
        int recording;
        int first, last; // point indices, inclusive
    };
    std::vector<int> RunsInBox(double south, double west, double north, double east) const;

    sqlite3* db_ = nullptr;
    std::vector<Run> runs_;
};
