#include "overview/DayTotals.h"
#include "overview/EventMarks.h"
#include "overview/GeoMath.h"
#include "overview/LineSimplify.h"
#include "overview/RouteLayers.h"
#include "overview/TripRoute.h"
#include "presenter/FigureTexts.h"
#include "tests/support/OverviewCard.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <gtest/gtest.h>
#include <thread>

namespace {

overviewtest::CardShape OneDay() {
    overviewtest::CardShape shape;
    shape.days = 1;
    return shape;
}

double DistanceToSegment(const GeoVertex& p, const GeoVertex& a, const GeoVertex& b) {
    // Fine sampling of the segment: independent of the code under test.
    double best = 1e18;
    for (int i = 0; i <= 1000; ++i) {
        const double t = i / 1000.0;
        best = std::min(best, GroundDistanceM(p.latitude, p.longitude,
                                              a.latitude + t * (b.latitude - a.latitude),
                                              a.longitude + t * (b.longitude - a.longitude)));
    }
    return best;
}

TEST(LineSimplify, KeepsEndsAndWhatLiesBeyondTheTolerance) {
    const std::vector<GeoVertex> straight = {
        {35, 139}, {35, 139.001}, {35, 139.002}, {35, 139.003}};
    // A 100 m bump in the middle of a 2 km line.
    const std::vector<GeoVertex> bump = {
        {35, 139}, {35, 139.01}, {35.0009, 139.011}, {35, 139.012}, {35, 139.022}};
    struct Case {
        const char* name;
        std::vector<GeoVertex> line;
        double toleranceM;
        std::vector<size_t> kept;
    } cases[] = {
        {"empty", {}, 5, {}},
        {"one point", {{35, 139}}, 5, {0}},
        {"two points", {{35, 139}, {35.1, 139.1}}, 5, {0, 1}},
        {"straight line to its ends", straight, 1, {0, 3}},
        {"no tolerance keeps all", straight, 0, {0, 1, 2, 3}},
        {"bump above tolerance", bump, 50, {0, 1, 2, 3, 4}},
        {"bump below tolerance", bump, 150, {0, 4}},
        {"repeated point", {{35, 139}, {35, 139}, {35, 139}}, 1, {0, 2}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SimplifyLine(c.line, c.toleranceM), c.kept) << c.name;
}

TEST(LineSimplify, NoDroppedVertexLiesFartherThanTheTolerance) {
    // A wandering drive of 200 000 fixes: deep enough to break a recursion.
    std::vector<GeoVertex> line;
    double lat = 35.6, lon = 139.7;
    for (int i = 0; i < 200000; ++i) {
        lat += 0.00002 * std::sin(i / 300.0);
        lon += 0.00002 * std::cos(i / 700.0);
        line.push_back({lat, lon});
    }
    const double tolerance = 4;
    const std::vector<size_t> kept = SimplifyLine(line, tolerance);
    ASSERT_GE(kept.size(), 2u);
    EXPECT_LT(kept.size(), line.size() / 20);
    EXPECT_EQ(kept.front(), 0u);
    EXPECT_EQ(kept.back(), line.size() - 1);
    for (size_t k = 1; k < kept.size(); ++k) {
        ASSERT_LT(kept[k - 1], kept[k]);
        // A sample of the dropped vertices between each kept pair.
        for (size_t i = kept[k - 1] + 1; i < kept[k]; i += 97)
            ASSERT_LE(DistanceToSegment(line[i], line[kept[k - 1]], line[kept[k]]), tolerance + 0.1)
                << "vertex " << i;
    }
}

// The speed bands of a route's vertices in order, runs of one band as one.
std::vector<int> BandRuns(const std::vector<int>& bands) {
    std::vector<int> runs;
    for (int b : bands)
        if (runs.empty() || runs.back() != b)
            runs.push_back(b);
    return runs;
}

TEST(RouteLayers, ThinsPerZoomButKeepsEveryTripAndEverySpeedChange) {
    auto card = overviewtest::MakeCard();
    RouteLayers layers(card->recordings, card->trips);
    const QJsonArray far = QJsonDocument::fromJson(layers.ForZoom(5)).array();
    const QJsonArray near = QJsonDocument::fromJson(layers.ForZoom(18)).array();
    ASSERT_EQ(far.size(), int(card->trips.size()));
    ASSERT_EQ(near.size(), int(card->trips.size()));
    EXPECT_LT(layers.VertexCount(5), 120 * card->trips.size() / 4);
    EXPECT_LE(layers.VertexCount(5), layers.VertexCount(18));
    for (int t = 0; t < far.size(); ++t) {
        const QJsonObject trip = far[t].toObject();
        EXPECT_EQ(trip["t"].toInt(), t);
        std::vector<int> raw, sent;
        for (const RouteStop& s : TripRoute(card->recordings, card->trips[size_t(t)]))
            raw.push_back(RouteLayers::SpeedBand(
                card->recordings[size_t(s.recording)].points[size_t(s.point)].speedKmh));
        for (const QJsonValue& b : trip["b"].toArray())
            sent.push_back(b.toInt());
        EXPECT_EQ(BandRuns(sent), BandRuns(raw)) << "trip " << t;
        ASSERT_EQ(trip["x"].toArray().size(), trip["b"].toArray().size());
        ASSERT_EQ(trip["y"].toArray().size(), trip["b"].toArray().size());
        // The steps add up to the trip's last point, on the whole pixel.
        double x = 0, y = 0;
        for (int k = 0; k < trip["x"].toArray().size(); ++k) {
            x += trip["x"].toArray()[k].toDouble();
            y += trip["y"].toArray()[k].toDouble();
        }
        const IndexedPoint& last = card->recordings[size_t(2 * t + 1)].points.back();
        const WorldPixel end = WorldPixelOf(last.latitude, last.longitude, 5);
        EXPECT_NEAR(x, end.x, 0.5) << "trip " << t;
        EXPECT_NEAR(y, end.y, 0.5) << "trip " << t;
    }
    EXPECT_EQ(layers.ForZoom(18), layers.ForZoom(18));
    // Levels made on another thread while this one asks give the same lines.
    RouteLayers shared(card->recordings, card->trips);
    std::atomic<bool> stop{false};
    std::thread preparing([&] { shared.Prepare(16, stop); });
    for (int zoom = 19; zoom >= 13; --zoom)
        EXPECT_EQ(shared.ForZoom(zoom), layers.ForZoom(zoom)) << zoom;
    preparing.join();
    const struct {
        double kmh;
        int band;
    } bands[] = {{-1, 0}, {0, 0}, {29.9, 0}, {30, 1}, {89, 2}, {90, 3}, {120, 4}, {300, 4}};
    for (const auto& c : bands)
        EXPECT_EQ(RouteLayers::SpeedBand(c.kmh), c.band) << c.kmh;
    // The tolerance halves with every zoom step.
    EXPECT_NEAR(RouteLayers::ToleranceM(0, 10) / RouteLayers::ToleranceM(0, 11), 2.0, 1e-9);
    EXPECT_NEAR(RouteLayers::ToleranceM(0, 0), 156543.0, 1);
}

TEST(DayTotals, TripsAddUpPerLocalDay) {
    std::vector<TripSummary> trips(4);
    const auto at = [](int day, int hour) {
        return QDateTime(QDate(2026, 3, day), QTime(hour, 30), Qt::LocalTime).toMSecsSinceEpoch();
    };
    trips[0] = {1, {}, at(1, 23), 0, 0, 0, 0, 0, true, 1000, 60000, 50000, 80, 40, 1};
    trips[1] = {2, {}, at(2, 0), 0, 0, 0, 0, 0, true, 2500, 120000, 90000, 95, 50, 2};
    trips[2] = {3, {}, at(2, 18), 0, 0, 0, 0, 0, true, 500, 30000, 20000, 60, 30, 0};
    trips[3] = {4, {}, at(5, 7), 0, 0, 0, 0, 0, true, 100, 1000, 0, 0, 0, 0};
    const std::vector<DayTotal> days = TotalsPerDay(trips);
    ASSERT_EQ(days.size(), 3u);
    EXPECT_EQ(days[0].day, QDate(2026, 3, 1));
    EXPECT_EQ(days[0].trips, 1);
    EXPECT_EQ(days[1].day, QDate(2026, 3, 2));
    EXPECT_EQ(days[1].trips, 2);
    EXPECT_DOUBLE_EQ(days[1].distanceM, 3000);
    EXPECT_EQ(days[1].durationMs, 150000);
    EXPECT_EQ(days[1].movingMs, 110000);
    EXPECT_DOUBLE_EQ(days[1].maxKmh, 95);
    EXPECT_EQ(days[1].events, 2);
    EXPECT_EQ(days[2].day, QDate(2026, 3, 5));
}

// Events of one recording within a second share a mark led by the weightiest
// kind; marks are listed lightest first, so an impact is drawn over a camera
// event wherever they meet.
TEST(EventMarks, GroupsTheEventsOfAMomentUnderTheirWeightiestKind) {
    using K = DrivingEventKind;
    const struct {
        K kind;
        int recording;
        int64_t utcMs;
    } table[] = {
        {K::Impact, 0, 10000},        // 0: with 1 and 2
        {K::CameraEvent, 0, 10000},   // 1
        {K::HarshBraking, 0, 10900},  // 2: within a second of 1
        {K::HarshBraking, 0, 12000},  // 3: alone, 1.1 s later
        {K::CameraEvent, 1, 12000},   // 4: same moment, another recording
        {K::SharpCornering, 2, 5000}, // 5: left out below
    };
    std::vector<DrivingEvent> events;
    for (const auto& row : table) {
        DrivingEvent e;
        e.kind = row.kind;
        e.recording = row.recording;
        e.utcMs = row.utcMs;
        events.push_back(e);
    }
    const std::vector<EventGroup> groups =
        GroupEvents(events, {true, true, true, true, true, false});
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0].lead, 4);
    EXPECT_EQ(groups[1].lead, 3);
    EXPECT_EQ(groups[2].lead, 0);
    EXPECT_EQ(groups[2].events, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(GroupEvents(events).size(), 4u) << "every event when none is picked";
}

TEST(FigureTexts, Duration) {
    const struct {
        int64_t ms;
        const char* text;
    } cases[] = {{0, "0:00:00"},       {59499, "0:00:59"},    {59500, "0:01:00"},
                 {3599000, "0:59:59"}, {3600000, "1:00:00"},  {3723000, "1:02:03"},
                 {-5, "0:00:00"},      {36000000, "10:00:00"}};
    for (const auto& c : cases)
        EXPECT_EQ(FigureTexts::Duration(c.ms), QString(c.text)) << c.ms;
}

TEST(TripRoute, RouteNearestStopAndEventLeadUp) {
    auto card = overviewtest::MakeCard(OneDay());
    const std::vector<RouteStop> route = TripRoute(card->recordings, card->trips[1]);
    ASSERT_EQ(route.size(), 120u);
    EXPECT_EQ(route.front().recording, 2);
    EXPECT_EQ(route.back().recording, 3);
    EXPECT_EQ(route.back().point, 59);
    // 70 s into the trip lies 10 s into its second recording.
    const RouteStop stop =
        NearestStop(card->recordings, route, 35.61 + 0.00001, 139.70 + 70 * 0.0002 + 0.00003);
    EXPECT_EQ(stop.recording, 3);
    EXPECT_EQ(stop.point, 10);
    EXPECT_EQ(NearestStop(card->recordings, {}, 35, 139).recording, -1);
    EXPECT_EQ(TripOfRecording(card->trips, 3), 1);
    EXPECT_EQ(TripOfRecording(card->trips, 9), -1);
    EXPECT_EQ(PlayOffsetForEvent(30000), 25000u);
    EXPECT_EQ(PlayOffsetForEvent(3000), 0u);
}

TEST(OverviewValues, NearFindsEachPassingRecordingAtItsClosestApproach) {
    auto card = overviewtest::MakeCard(OneDay());
    // Trip 0 passes 35.600; trip 1 passes 35.610, about 1.1 km north.
    const double lon = 139.70 + 20.5 * 0.0002; // between two fixes of recording 0
    const std::vector<NearHit> hits = card->Near(35.6001, lon, 50);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].recording, 0);
    // On the line between the two fixes, as the card index answers.
    EXPECT_NEAR(hits[0].offsetMs, 20500, 60);
    EXPECT_NEAR(hits[0].distanceM, GroundDistanceM(35.6001, lon, 35.6, lon), 0.5);
    EXPECT_TRUE(card->Near(35.605, lon, 50).empty()) << "between the two roads";
    const std::vector<NearHit> both = card->Near(35.6049, lon, 600);
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[0].recording, 0);
    EXPECT_EQ(both[1].recording, 2);
    EXPECT_LT(both[0].distanceM, both[1].distanceM);
}

TEST(GeoMath, DistancesAndScale) {
    EXPECT_NEAR(GroundDistanceM(35, 139, 35.001, 139), 111.2, 0.2);
    EXPECT_NEAR(GroundDistanceM(0, 179.9995, 0, -179.9995), 111.2, 0.2)
        << "across the antimeridian";
    EXPECT_NEAR(MetresPerPixel(0, 0), 156543.03, 0.1);
    EXPECT_NEAR(MetresPerPixel(60, 1), 156543.03 / 4, 0.1);

    const struct {
        double latitude, longitude;
        int zoom;
        double x, y;
    } places[] = {
        {0, 0, 0, 128, 128},
        {85.0511287798, -180, 0, 0, 0},
        {-90, 180, 1, 512, 512}, // beyond the map's edge: held there
        {35.6895, 139.6917, 10, 232792.39, 103219.13},
    };
    for (const auto& p : places) {
        const WorldPixel at = WorldPixelOf(p.latitude, p.longitude, p.zoom);
        EXPECT_NEAR(at.x, p.x, 0.01) << p.latitude << "," << p.longitude;
        EXPECT_NEAR(at.y, p.y, 0.01) << p.latitude << "," << p.longitude;
    }
}

TEST(GeoMath, FitZoomIsTheLevelThePageFitsTo) {
    // 360/4096 degrees of longitude is 1024 pixels at zoom 14.
    const double narrow = 360.0 / 4096;
    const struct {
        double south, west, north, east;
        int width, height, zoom;
    } cases[] = {
        {-85.05, -180, 85.05, 180, 1000, 600, 1}, // the whole map
        {0, 0, 0.0001, narrow, 1072, 600, 14},    // exactly 1024 pixels inside the padding
        {0, 0, 0.0001, narrow, 1071, 600, 14},    // within a hundredth of a step
        {0, 0, 0.0001, narrow, 1060, 600, 13},    // short of it
        {0, 0, narrow, 0.0001, 600, 1072, 14},    // the height decides
        {35.6, 139.7, 35.6, 139.7, 800, 600, 17}, // one place: the most the fit zooms
        {35.6, 139.7, 35.6001, 139.7001, 800, 600, 17},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FitZoom(c.south, c.west, c.north, c.east, c.width, c.height, 24, 17), c.zoom)
            << c.width << "x" << c.height << " " << c.east - c.west;
}

} // namespace
