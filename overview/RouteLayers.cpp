#include "overview/RouteLayers.h"

#include "overview/GeoMath.h"
#include "overview/LineSimplify.h"
#include "overview/TripRoute.h"

#include <QString>
#include <algorithm>

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

double RouteLayers::ToleranceM(double latitude, int zoom) {
    return 0.5 * MetresPerPixel(latitude, std::clamp(zoom, 0, 22));
}

const QByteArray& RouteLayers::ForZoom(int zoom) {
    zoom = std::clamp(zoom, 0, 22);
    auto found = json_.find(zoom);
    if (found != json_.end())
        return found->second;
    QByteArray out = "[";
    size_t count = 0;
    for (const Line& line : lines_) {
        std::vector<GeoVertex> vertices;
        vertices.reserve(line.points.size());
        for (const IndexedPoint* p : line.points)
            vertices.push_back({p->latitude, p->longitude});
        const double tolerance = ToleranceM(vertices[vertices.size() / 2].latitude, zoom);
        const std::vector<size_t> kept = SimplifyLine(vertices, tolerance);
        count += kept.size();
        QByteArray p, s;
        for (size_t k : kept) {
            if (!p.isEmpty()) {
                p += ',';
                s += ',';
            }
            p += QByteArray::number(line.points[k]->latitude, 'f', 6) + ',' +
                 QByteArray::number(line.points[k]->longitude, 'f', 6);
            s += QByteArray::number(qRound(line.points[k]->speedKmh));
        }
        if (out.size() > 1)
            out += ',';
        out += "{\"t\":" + QByteArray::number(line.trip) + ",\"label\":\"#" +
               QByteArray::number(line.trip + 1) + "\",\"p\":[" + p + "],\"s\":[" + s + "]}";
    }
    out += ']';
    counts_[zoom] = count;
    return json_.emplace(zoom, std::move(out)).first->second;
}

size_t RouteLayers::VertexCount(int zoom) {
    ForZoom(zoom);
    return counts_[std::clamp(zoom, 0, 22)];
}
