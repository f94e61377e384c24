#pragma once
#include "cardindex/CardIndexTypes.h"

#include <QByteArray>
#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

// The trips' routes as the overview page draws them: per zoom level thinned
// to what a pixel can show, so a card of a hundred hours stays a few
// thousand vertices on screen. Each level is made once and kept; levels may
// be made on another thread while the window asks for them (Prepare).
class RouteLayers {
  public:
    RouteLayers(const std::vector<IndexedRecording>& recordings,
                const std::vector<TripSummary>& trips);

    // JSON array, one object per trip with a route: t (trip index), label,
    // x and y (the vertices as whole pixels of the web map at this zoom,
    // WorldPixelOf: the first one, then each as the step from the one
    // before; a few digits a vertex) and b (each vertex's speed band). The
    // vertices where the band changes are always kept, so a line coloured by
    // speed shows every change a full line would.
    const QByteArray& ForZoom(int zoom);
    // The same when that level is made already, else null; never makes it.
    const QByteArray* Made(int zoom);

    // Vertices kept at a zoom, over all trips.
    size_t VertexCount(int zoom);

    // Makes the levels next to `first`, nearest first, until those within
    // kPreparedSpan steps are made or `stop` is set. Further levels are made
    // when asked: the closest ones hold nearly every point.
    void Prepare(int first, const std::atomic<bool>& stop);
    // The same, stopping once `stopped` answers true.
    void Prepare(int first, const std::function<bool()>& stopped);
    static constexpr int kPreparedSpan = 3;
    static constexpr int kMaxZoom = 19;

    // The speed bands' lower bounds in km/h (the page's legend lists the
    // same), and the band of a speed.
    static constexpr double kSpeedBandsKmh[] = {0, 30, 60, 90, 120};
    static int SpeedBand(double kmh);

    // Tolerance of the thinning at a zoom: a pixel, a quarter of a line's
    // width.
    static double ToleranceM(double latitude, int zoom);

  private:
    struct Line {
        int trip = 0;
        std::vector<const IndexedPoint*> points;
    };
    struct Level {
        QByteArray json;
        size_t vertices = 0;
    };
    Level Make(int zoom) const;
    const Level& Get(int zoom);

    std::vector<Line> lines_;
    std::mutex lock_; // guards levels_; a made level never changes
    std::map<int, Level> levels_;
};
