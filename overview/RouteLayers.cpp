#include "overview/RouteLayers.h"

#include "overview/GeoMath.h"
#include "overview/LineSimplify.h"
#include "overview/TripRoute.h"

#include <QString>
#include <algorithm>
#include <iterator>

RouteLayers::RouteLayers(const std::vector<IndexedRecording>& recordings,
                         const std::vector<TripSummary>& trips) {
    for (size_t t = 0; t < trips.size(); ++t) {
        Line line;
        line.trip = int(t);
        for (const RouteStop& s : TripRoute(recordings, trips[t]))
            line.points.push_back(&recordings[size_t(s.recording)].points[size_t(s.point)]);
        if (!line.points.empty())
            lines_.push_back(std::move(line));
    }
}

int RouteLayers::SpeedBand(double kmh) {
    int band = 0;
    while (band + 1 < int(std::size(kSpeedBandsKmh)) && kmh >= kSpeedBandsKmh[band + 1])
        ++band;
    return band;
}

double RouteLayers::ToleranceM(double latitude, int zoom) {
    return MetresPerPixel(latitude, std::clamp(zoom, 0, kMaxZoom));
}

const RouteLayers::Level& RouteLayers::Get(int zoom) {
    zoom = std::clamp(zoom, 0, kMaxZoom);
    {
        std::lock_guard<std::mutex> guard(lock_);
        auto found = levels_.find(zoom);
        if (found != levels_.end())
            return found->second;
    }
    // Made outside the lock: a level another thread made meanwhile wins,
    // and references into the map stay valid across insertions.
    Level level = Make(zoom);
    std::lock_guard<std::mutex> guard(lock_);
    return levels_.emplace(zoom, std::move(level)).first->second;
}

const QByteArray& RouteLayers::ForZoom(int zoom) {
    return Get(zoom).json;
}

const QByteArray* RouteLayers::Made(int zoom) {
    std::lock_guard<std::mutex> guard(lock_);
    auto found = levels_.find(std::clamp(zoom, 0, kMaxZoom));
    return found == levels_.end() ? nullptr : &found->second.json;
}

size_t RouteLayers::VertexCount(int zoom) {
    return Get(zoom).vertices;
}

void RouteLayers::Prepare(int first, const std::atomic<bool>& stop) {
    Prepare(first, [&stop] { return stop.load(); });
}

void RouteLayers::Prepare(int first, const std::function<bool()>& stopped) {
    first = std::clamp(first, 0, kMaxZoom);
    for (int step = 1; step <= kPreparedSpan && !stopped(); ++step)
        for (int zoom : {first + step, first - step})
            if (zoom >= 0 && zoom <= kMaxZoom && !stopped())
                Get(zoom);
}

RouteLayers::Level RouteLayers::Make(int zoom) const {
    QByteArray out = "[";
    size_t count = 0;
    for (const Line& line : lines_) {
        // Thinned run by run of one speed band; a run's ends are kept.
        std::vector<size_t> kept;
        size_t runStart = 0;
        const size_t n = line.points.size();
        for (size_t i = 1; i <= n; ++i) {
            if (i < n &&
                SpeedBand(line.points[i]->speedKmh) == SpeedBand(line.points[runStart]->speedKmh))
                continue;
            // The run ends at the first vertex of the next band, so runs join.
            const size_t runEnd = std::min(i, n - 1);
            std::vector<GeoVertex> vertices;
            for (size_t k = runStart; k <= runEnd; ++k)
                vertices.push_back({line.points[k]->latitude, line.points[k]->longitude});
            const double tolerance = ToleranceM(vertices[vertices.size() / 2].latitude, zoom);
            for (size_t k : SimplifyLine(vertices, tolerance))
                if (kept.empty() || kept.back() != runStart + k)
                    kept.push_back(runStart + k);
            runStart = i;
        }
        count += kept.size();
        QByteArray x, y, b;
        qint64 lastX = 0, lastY = 0;
        for (size_t k : kept) {
            if (!b.isEmpty()) {
                x += ',';
                y += ',';
                b += ',';
            }
            const WorldPixel at =
                WorldPixelOf(line.points[k]->latitude, line.points[k]->longitude, zoom);
            const qint64 px = qRound64(at.x), py = qRound64(at.y);
            x += QByteArray::number(px - lastX);
            y += QByteArray::number(py - lastY);
            b += QByteArray::number(SpeedBand(line.points[k]->speedKmh));
            lastX = px;
            lastY = py;
        }
        if (out.size() > 1)
            out += ',';
        out += "{\"t\":" + QByteArray::number(line.trip) + ",\"label\":\"#" +
               QByteArray::number(line.trip + 1) + "\",\"x\":[" + x + "],\"y\":[" + y +
               "],\"b\":[" + b + "]}";
    }
    out += ']';
    return {out, count};
}
