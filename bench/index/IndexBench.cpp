// halvex-bench-index: makes the index benchmark's cards and times the card
// index in process on them.
//   halvex-bench-index make-card DIR COUNT MEDIA_BYTES
//   halvex-bench-index make-hours DIR HOURS
//   halvex-bench-index measure DIR [CACHE_DIR]   "name value unit" lines
#include "IndexCards.h"
#include "cardindex/CardIndex.h"
#include "recordings/RecordingCatalog.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <random>

namespace {

double Ms(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
}

void Result(const char* name, double value, const char* unit) {
    std::printf("%s %.3f %s\n", name, value, unit);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double Worst(const std::vector<double>& v) {
    return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

int Measure(const QString& folder, const QString& cacheFolder) {
    QElapsedTimer t;
    t.start();
    RecordingCatalog catalog;
    catalog.Open(folder);
    Result("index.scan", Ms(t), "ms");

    CardIndex index;
    t.restart();
    index.Build(catalog.Files(), QString(), {}, nullptr);
    Result("index.build_no_cache", Ms(t), "ms");
    size_t points = 0;
    for (const IndexedRecording& r : index.Recordings())
        points += r.points.size();
    Result("index.recordings", double(index.Recordings().size()), "files");
    Result("index.points", double(points), "points");

    if (!cacheFolder.isEmpty()) {
        QDir(cacheFolder).removeRecursively();
        CardIndex first, second;
        t.restart();
        first.Build(catalog.Files(), cacheFolder, {}, nullptr);
        Result("index.build_filling_cache", Ms(t), "ms");
        t.restart();
        second.Build(catalog.Files(), cacheFolder, {}, nullptr);
        Result("index.build_from_cache", Ms(t), "ms");
    }

    // Places on the driven route, and each a little off it.
    std::vector<std::pair<double, double>> places;
    std::mt19937 random(7);
    for (int k = 0; k < 200; ++k) {
        const IndexedRecording& r = index.Recordings()[random() % index.Recordings().size()];
        if (r.points.empty())
            continue;
        const IndexedPoint& p = r.points[random() % r.points.size()];
        places.push_back({p.latitude + 0.0002, p.longitude - 0.0001});
    }
    std::vector<double> nearMs, boxMs;
    size_t hits = 0;
    for (const auto& [lat, lon] : places) {
        t.restart();
        hits += index.Near(lat, lon, 50).size();
        nearMs.push_back(Ms(t));
        t.restart();
        index.InBox({lat - 0.001, lon - 0.001, lat + 0.001, lon + 0.001});
        boxMs.push_back(Ms(t));
    }
    Result("index.near.median", Median(nearMs), "ms");
    Result("index.near.worst", Worst(nearMs), "ms");
    Result("index.near.hits_per_query", places.empty() ? 0 : double(hits) / places.size(),
           "recordings");
    Result("index.box.median", Median(boxMs), "ms");

    std::vector<double> tripsMs, eventsMs;
    size_t trips = 0, events = 0;
    for (int k = 0; k < 5; ++k) {
        t.restart();
        trips = index.Trips().size();
        tripsMs.push_back(Ms(t));
        t.restart();
        events = index.Events().size();
        eventsMs.push_back(Ms(t));
    }
    Result("index.trips.median", Median(tripsMs), "ms");
    Result("index.events.median", Median(eventsMs), "ms");
    Result("index.trips", double(trips), "trips");
    Result("index.events", double(events), "events");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    QString error;
    if (args.size() == 4 && args[0] == "make-card") {
        if (bench::WriteIndexCard(args[1], args[2].toInt(), args[3].toULongLong(), &error))
            return 0;
    } else if (args.size() == 3 && args[0] == "make-hours") {
        if (bench::WriteHoursCard(args[1], args[2].toInt(), &error))
            return 0;
    } else if ((args.size() == 2 || args.size() == 3) && args[0] == "measure") {
        return Measure(args[1], args.size() == 3 ? args[2] : QString());
    } else {
        std::fprintf(stderr, "usage: halvex-bench-index make-card DIR COUNT MEDIA_BYTES | "
                             "make-hours DIR HOURS | measure DIR [CACHE_DIR]\n");
        return 2;
    }
    std::fprintf(stderr, "halvex-bench-index: %s\n", qPrintable(error));
    return 1;
}
