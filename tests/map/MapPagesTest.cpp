#include "MapWindowFixture.h"
#include "presenter/MapScripts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <atomic>

using maptest::WaitFor;

namespace {

QJsonValue JsonOf(QWebEngineView* view, const QString& expression) {
    const QString text =
        MapWindowFixture::Js(view, "JSON.stringify(" + expression + ")").toString();
    return QJsonDocument::fromJson("[" + text.toUtf8() + "]").array().at(0);
}

// [[lat, lng], ...] of a Google-page path.
const char* const kGoogleRoute =
    "route.getPath().getArray().map(function (p) { return [p.lat(), p.lng()]; })";
const char* const kGoogleDriven =
    "driven.getPath().getArray().map(function (p) { return [p.lat(), p.lng()]; })";

QJsonArray Points(std::initializer_list<std::pair<double, double>> points) {
    QJsonArray out;
    for (const auto& p : points)
        out.append(QJsonArray{p.first, p.second});
    return out;
}

void ExpectNear(const QJsonValue& point, double lat, double lng, double tolerance) {
    ASSERT_TRUE(point.isArray()) << QJsonDocument(QJsonArray{point}).toJson().toStdString();
    EXPECT_NEAR(point.toArray().at(0).toDouble(), lat, tolerance);
    EXPECT_NEAR(point.toArray().at(1).toDouble(), lng, tolerance);
}

} // namespace

TEST_F(MapWindowFixture, GooglePageStartsAsConfigured) {
    QWebEngineView* view = ShowPage(MAP_GOOGLE);
    ASSERT_NE(view, nullptr);
    const QJsonObject setup =
        JsonOf(view,
               "{title: document.title, center: [map.getCenter().lat(), map.getCenter().lng()],"
               " zoom: map.getZoom(), type: map.getMapTypeId(), icon: marker.getIcon(),"
               " markerTitle: marker.getTitle(), onMap: marker.getMap() === map,"
               " route: [route.get('strokeColor'), route.get('strokeOpacity'), "
               "route.get('strokeWeight'), route.getPath().getLength()],"
               " driven: [driven.get('strokeColor'), driven.get('strokeOpacity'), "
               "driven.get('strokeWeight'), driven.getPath().getLength()]}")
            .toObject();
    EXPECT_EQ(setup["title"].toString(), "Google Maps");
    ExpectNear(setup["center"], 35.640335, 139.749037, 1e-9);
    EXPECT_EQ(setup["zoom"].toInt(), 15);
    EXPECT_EQ(setup["type"].toString(), "roadmap");
    EXPECT_EQ(setup["icon"].toString(), "190");
    EXPECT_EQ(setup["markerTitle"].toString(), "");
    EXPECT_TRUE(setup["onMap"].toBool());
    EXPECT_EQ(setup["route"].toArray(), (QJsonArray{"#8833FF", 0.5, 6, 0}));
    EXPECT_EQ(setup["driven"].toArray(), (QJsonArray{"#55EE55", 0.5, 6, 0}));
    // Layers are placed with plain offsets, which is what keeps a moving car cheap.
    EXPECT_FALSE(Js(view, "L.Browser.any3d").toBool());
}

TEST_F(MapWindowFixture, GooglePageKeepsRouteAndDrivenLine) {
    QWebEngineView* view = ShowPage(MAP_GOOGLE);
    ASSERT_NE(view, nullptr);
    map->RunScript("path_plot(35.100000,139.100000)");
    map->RunScript("path_plot(35.200000,139.300000)");
    map->RunScript("path_plot(35.300000,139.200000)");
    map->RunScript("movpos(35.250000, 139.250000)");
    ASSERT_TRUE(WaitFor([&] { return JsonOf(view, kGoogleDriven).toArray().size() == 1; }));
    EXPECT_EQ(JsonOf(view, kGoogleRoute).toArray(),
              Points({{35.1, 139.1}, {35.2, 139.3}, {35.3, 139.2}}));
    ExpectNear(JsonOf(view, "[map.getCenter().lat(), map.getCenter().lng()]"), 35.25, 139.25, 1e-9);
    EXPECT_EQ(JsonOf(view, "[marker.getPosition().lat(), marker.getPosition().lng()]").toArray(),
              (QJsonArray{35.25, 139.25}));

    map->RunScript("pathdrived_plot(35.260000,139.260000)");
    map->RunScript("movpos(35.270000, 139.270000, 90)");
    EXPECT_TRUE(WaitFor([&] {
        return JsonOf(view, kGoogleDriven).toArray() ==
               Points({{35.25, 139.25}, {35.26, 139.26}, {35.27, 139.27}});
    }));

    map->RunScript("pathdrived_delete()");
    map->RunScript("movpos(35.280000, 139.280000)");
    EXPECT_TRUE(WaitFor([&] {
        return JsonOf(view, kGoogleDriven).toArray() == Points({{35.28, 139.28}});
    }));

    map->RunScript("pathdrived_plot_to_n(2)");
    EXPECT_TRUE(WaitFor([&] {
        return JsonOf(view, kGoogleDriven).toArray() == Points({{35.1, 139.1}, {35.2, 139.3}});
    }));

    map->RunScript("set_center(35.000000, 139.000000)");
    EXPECT_TRUE(WaitFor([&] {
        return JsonOf(view, "[map.getCenter().lat(), map.getCenter().lng()]").toArray() ==
               QJsonArray{35.0, 139.0};
    }));
    EXPECT_EQ(JsonOf(view, "[marker.getPosition().lat(), marker.getPosition().lng()]").toArray(),
              (QJsonArray{35.28, 139.28}));

    map->RunScript("path_delete()");
    EXPECT_TRUE(WaitFor([&] { return JsonOf(view, kGoogleRoute).toArray().isEmpty(); }));
    // The drawn lines catch up with the paths.
    EXPECT_TRUE(WaitFor([&] {
        return Js(view, "[route._drawnLength(), driven._drawnLength()].join()").toString() == "0,2";
    }));
}

namespace {
// WGS-84 (39.915, 116.404) in BD-09, from the published conversion formulas.
constexpr double kBdLat = 39.922700, kBdLng = 116.416627;
const char* const kChinaRoute = "route.getPath().map(function (p) { return [p.lat, p.lng]; })";
const char* const kChinaDriven = "driven.getPath().map(function (p) { return [p.lat, p.lng]; })";
} // namespace

TEST_F(MapWindowFixture, ChinaPageStartsAsConfigured) {
    QWebEngineView* view = ShowPage(MAP_CHINA);
    ASSERT_NE(view, nullptr);
    const QJsonObject setup =
        JsonOf(view, "{title: document.title, center: [map.getCenter().lat, map.getCenter().lng],"
                     " zoom: map.getZoom(), overlays: map.getOverlays().length,"
                     " markerShown: map.getOverlays().indexOf(marker) >= 0,"
                     " route: [route.getStrokeColor(), route.getStrokeWeight(), "
                     "route.getStrokeOpacity(), route.getPath().length],"
                     " driven: [driven.getStrokeColor(), driven.getStrokeWeight(), "
                     "driven.getStrokeOpacity(), driven.getPath().length]}")
            .toObject();
    EXPECT_EQ(setup["title"].toString(), "Hello, World");
    ExpectNear(setup["center"], 39.915, 116.404, 1e-9);
    EXPECT_EQ(setup["zoom"].toInt(), 16);
    EXPECT_EQ(setup["overlays"].toInt(), 2);
    EXPECT_FALSE(setup["markerShown"].toBool());
    EXPECT_EQ(setup["route"].toArray(), (QJsonArray{"blue", 6, 0.5, 0}));
    EXPECT_EQ(setup["driven"].toArray(), (QJsonArray{"red", 6, 0.5, 0}));
    EXPECT_FALSE(Js(view, "L.Browser.any3d").toBool());
}

TEST_F(MapWindowFixture, ChinaPageActsOnConvertedPoints) {
    QWebEngineView* view = ShowPage(MAP_CHINA);
    ASSERT_NE(view, nullptr);
    map->RunScript("path_plot(39.915000,116.404000)");
    map->RunScript("path_plot(39.916000,116.405000)");
    ASSERT_TRUE(WaitFor([&] { return JsonOf(view, kChinaRoute).toArray().size() == 2; }));
    const QJsonArray route = JsonOf(view, kChinaRoute).toArray();
    ExpectNear(route.at(0), kBdLat, kBdLng, 1e-6);
    EXPECT_GT(route.at(1).toArray().at(0).toDouble(), route.at(0).toArray().at(0).toDouble());

    map->RunScript("movpos(39.915000, 116.404000)");
    ASSERT_TRUE(WaitFor([&] { return JsonOf(view, kChinaDriven).toArray().size() == 1; }));
    ExpectNear(JsonOf(view, kChinaDriven).toArray().at(0), kBdLat, kBdLng, 1e-6);
    ExpectNear(JsonOf(view, "[marker.getPosition().lat, marker.getPosition().lng]"), kBdLat, kBdLng,
               1e-6);
    ExpectNear(JsonOf(view, "[map.getCenter().lat, map.getCenter().lng]"), kBdLat, kBdLng, 1e-6);
    EXPECT_TRUE(Js(view, "map.getOverlays().indexOf(marker) >= 0").toBool());
    EXPECT_EQ(Js(view, "map.getZoom()").toInt(), 16);

    // Drawn over the WGS-84 tiles, the point is back where the GPS put it.
    ASSERT_TRUE(WaitFor([&] { return Js(view, "route._drawnLength()").toInt() == 2; }));
    ExpectNear(JsonOf(view, "route._drawnLatLngs()[0]"), 39.915, 116.404, 1e-5);

    map->RunScript("pathdrived_delete()");
    map->RunScript("movpos(39.916000, 116.405000)");
    EXPECT_TRUE(WaitFor([&] {
        return JsonOf(view, kChinaDriven).toArray().size() == 1 &&
               JsonOf(view, "map.getOverlays().length").toInt() == 3; // one marker only
    }));
    map->RunScript("pathdrived_plot(39.917000,116.406000)");
    EXPECT_TRUE(WaitFor([&] { return JsonOf(view, kChinaDriven).toArray().size() == 2; }));

    map->RunScript("path_delete()");
    EXPECT_TRUE(WaitFor([&] { return JsonOf(view, kChinaRoute).toArray().isEmpty(); }));
}

// The same points sent one call each and in batches end up alike on both
// pages, in the page's own coordinates and as drawn, on both lines; the line
// is long enough to be drawn in several pieces.
TEST_F(MapWindowFixture, BatchFunctionsDrawWhatSingleCallsDraw) {
    std::vector<double> latLon;
    QStringList routeSingles, drivenSingles;
    for (int i = 0; i < 600; ++i) {
        const double lat = 39.9 + 0.0001 * i;
        const double lon = 116.4 + 0.0001 * i + 0.0003 * (i % 3);
        latLon.insert(latLon.end(), {lat, lon});
        routeSingles << PathPlotScript(lat, lon);
        drivenSingles << DrivenPlotScript(lat, lon);
    }
    const struct {
        const char* line;
        const QStringList& singles;
        const char* batch;
        const char* clear;
    } lines[] = {{"route", routeSingles, kPathPlotBatch, kPathDeleteScript},
                 {"driven", drivenSingles, kDrivenPlotBatch, kDrivenDeleteScript}};
    for (int choice : {MAP_GOOGLE, MAP_CHINA}) {
        QWebEngineView* view = ShowPage(choice);
        ASSERT_NE(view, nullptr);
        for (const auto& l : lines) {
            SCOPED_TRACE(std::string(l.line) + (choice == MAP_CHINA ? " china" : " google"));
            const QString path =
                QString(choice == MAP_CHINA ? "%1.getPath().map(function (p) { return [p.lat, "
                                              "p.lng]; })"
                                            : "%1.getPath().getArray().map(function (p) { "
                                              "return [p.lat(), p.lng()]; })")
                    .arg(l.line);
            const QString drawn = QString("%1._drawnLatLngs()").arg(l.line);
            const QString drawnCount = QString("%1._drawnLength()").arg(l.line);

            for (const QString& single : l.singles)
                map->RunScript(single);
            ASSERT_TRUE(WaitFor([&] { return Js(view, drawnCount).toInt() == 600; }));
            const QJsonArray singlePath = JsonOf(view, path).toArray();
            const QJsonArray singleDrawn = JsonOf(view, drawn).toArray();
            ASSERT_EQ(singleDrawn.size(), 600);
            ExpectNear(singleDrawn.at(599), 39.9599, 116.4605, 1e-5);

            map->RunScript(l.clear);
            ASSERT_TRUE(WaitFor([&] { return Js(view, drawnCount).toInt() == 0; }));
            for (const QString& batch : PlotBatchScripts(l.batch, latLon))
                map->RunScript(batch);
            ASSERT_TRUE(WaitFor([&] { return Js(view, drawnCount).toInt() == 600; }));
            EXPECT_EQ(JsonOf(view, path).toArray(), singlePath);
            EXPECT_EQ(JsonOf(view, drawn).toArray(), singleDrawn);

            // Single calls after a batch continue the same line.
            map->RunScript(l.singles[0]);
            EXPECT_TRUE(WaitFor([&] { return Js(view, drawnCount).toInt() == 601; }));
            EXPECT_EQ(JsonOf(view, drawn).toArray().at(600), singleDrawn.at(0));
            map->RunScript(l.clear);
        }
    }
}

// A standing car sends the same position at every tick: the driven line
// keeps each point, but its drawing is left alone until the car moves on, and
// then holds every point, also where the repeats crossed from one drawn piece
// of the line into the next.
TEST_F(MapWindowFixture, RepeatedPositionsLeaveTheDrawnLineAlone) {
    std::vector<double> latLon;
    for (int i = 0; i < 254; ++i)
        latLon.insert(latLon.end(), {35.1 + 0.0001 * i, 139.1 + 0.0001 * i});
    const QString standing = MovePositionScript(latLon[latLon.size() - 2], latLon.back());
    for (int choice : {MAP_GOOGLE, MAP_CHINA}) {
        SCOPED_TRACE(choice == MAP_CHINA ? "china" : "google");
        QWebEngineView* view = ShowPage(choice);
        ASSERT_NE(view, nullptr);
        const QString length =
            choice == MAP_CHINA ? "driven.getPath().length" : "driven.getPath().getLength()";
        const QString state =
            "[" + length + ", driven._drawnLength(), driven._drawnLatLngs().length].join()";
        map->RunScript(kDrivenDeleteScript);
        for (const QString& batch : PlotBatchScripts(kDrivenPlotBatch, latLon))
            map->RunScript(batch);
        ASSERT_TRUE(WaitFor([&] { return Js(view, state).toString() == "254,254,254"; }));
        for (int tick = 0; tick < 4; ++tick)
            map->RunScript(standing);
        EXPECT_TRUE(WaitFor([&] { return Js(view, state).toString() == "258,258,254"; }))
            << Js(view, state).toString().toStdString();

        map->RunScript(MovePositionScript(35.2, 139.2));
        EXPECT_TRUE(WaitFor([&] { return Js(view, state).toString() == "259,259,259"; }))
            << Js(view, state).toString().toStdString();
    }
}

// The car's moves grow the driven line by their new segments alone: the
// canvas keeps what was drawn, and only a change before the line's end (a
// seek) draws it whole again, without the points that went.
TEST_F(MapWindowFixture, TheCarStrokesOnlyItsNewSegments) {
    auto at = [](int i) { return std::make_pair(35.1, 139.1 + 0.00003 * i); };
    for (int choice : {MAP_GOOGLE, MAP_CHINA}) {
        SCOPED_TRACE(choice == MAP_CHINA ? "china" : "google");
        QWebEngineView* view = ShowPage(choice);
        ASSERT_NE(view, nullptr);
        // The canvas's pixel where point i is drawn: "r,g,b,a".
        auto pixel = [&](int i) {
            return Js(view, QString::asprintf(
                                "(function () { var l = driven._layer, m = l._map;"
                                " var p = m.project([%f, %f], m.getZoom());"
                                " var r = window.devicePixelRatio || 1;"
                                " var d = l._canvas.getContext('2d').getImageData("
                                "Math.round((p.x - l._area.x) * r), Math.round((p.y - l._area.y)"
                                " * r), 1, 1).data; return [d[0], d[1], d[2], d[3]].join(); })()",
                                at(i).first, at(i).second))
                .toString();
        };
        const QString colour = choice == MAP_CHINA ? "255,0,0,255" : "85,238,85,255";
        const QString drawn = "driven._drawnLength()";
        const QString cost = "[driven._layer.wholeDraws, driven._layer.segmentsStroked].join()";

        // The line up to point 98, then the car at 99, the view centred there.
        auto driveTo = [&](int last) {
            map->RunScript(kDrivenDeleteScript);
            std::vector<double> latLon;
            for (int i = 0; i < last; ++i)
                latLon.insert(latLon.end(), {at(i).first, at(i).second});
            for (const QString& batch : PlotBatchScripts(kDrivenPlotBatch, latLon))
                map->RunScript(batch);
            ASSERT_TRUE(WaitFor([&] { return Js(view, drawn).toInt() == last; }));
            map->RunScript(MovePositionScript(at(last).first, at(last).second));
            ASSERT_TRUE(WaitFor([&] { return Js(view, drawn).toInt() == last + 1; }));
        };
        ASSERT_NO_FATAL_FAILURE(driveTo(99));
        const QStringList before = Js(view, cost).toString().split(',');
        ASSERT_EQ(before.size(), 2);

        for (int i = 100; i < 105; ++i) {
            map->RunScript(MovePositionScript(at(i).first, at(i).second));
            ASSERT_TRUE(WaitFor([&] { return Js(view, drawn).toInt() == i + 1; }));
        }
        EXPECT_EQ(Js(view, cost).toString().toStdString(),
                  QString("%1,%2").arg(before[0]).arg(before[1].toInt() + 5).toStdString())
            << "one segment a move, nothing drawn whole";
        EXPECT_EQ(pixel(104).toStdString(), colour.toStdString());
        EXPECT_EQ(pixel(50).toStdString(), colour.toStdString());

        // Back to point 49, as a seek rebuilds the line.
        ASSERT_NO_FATAL_FAILURE(driveTo(49));
        EXPECT_GT(Js(view, "driven._layer.wholeDraws").toInt(), before[0].toInt());
        EXPECT_EQ(pixel(40).toStdString(), colour.toStdString());
        EXPECT_EQ(pixel(104).toStdString(), "0,0,0,0")
            << "the points that went are gone from the canvas";

        // Another zoom draws the line whole where its points lie at that zoom.
        const int draws = Js(view, "driven._layer.wholeDraws").toInt();
        map->RunScript("map.setZoom(map.getZoom() - 2)");
        ASSERT_TRUE(WaitFor([&] { return Js(view, "driven._layer.wholeDraws").toInt() > draws; }));
        EXPECT_EQ(pixel(20).toStdString(), colour.toStdString());
    }
}

namespace {
class TileRequests : public QWebEngineUrlRequestInterceptor {
  public:
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        if (info.requestUrl().host() == "tile.openstreetmap.org")
            ++count;
    }
    std::atomic<int> count{0};
};
} // namespace

TEST_F(MapWindowFixture, BothPagesAskForMapTiles) {
    TileRequests tiles;
    for (int choice : {MAP_GOOGLE, MAP_CHINA}) {
        QWebEngineView* view = ShowPage(choice);
        ASSERT_NE(view, nullptr);
        view->page()->setUrlRequestInterceptor(&tiles);
        tiles.count = 0;
        map->RunScript("movpos(35.000000, 139.000000)");
        EXPECT_TRUE(WaitFor([&] { return tiles.count > 0; }, 5000)) << choice;
        view->page()->setUrlRequestInterceptor(nullptr);
    }
}
