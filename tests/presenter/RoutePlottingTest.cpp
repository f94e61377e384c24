#include "presenter/CatalogPresenter.h"
#include "presenter/MapScripts.h"
#include "recordings/NmeaCoordinates.h"
#include "recordings/RecordingCatalog.h"

#include "tests/support/core/CatalogStaging.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <stdexcept>

namespace {

// Keeps every call the presenter makes on the map.
class RecordingMapView : public MapView {
  public:
    void RunScript(const QString& script) override { calls << script; }
    void MovePosition(double latitude, double longitude, StoredCoordinates) override {
        calls << QString::asprintf("MovePosition(%f,%f)", latitude, longitude);
    }
    QStringList calls;
};

GpsPoint Point(double latitude, double longitude, bool fix = true) {
    GpsPoint p;
    p.latitude = latitude;
    p.longitude = longitude;
    p.flags = fix ? GpsPoint::kFixFlag : 0;
    return p;
}

QByteArray ChunkBytes(const std::vector<GpsPoint>& points) {
    QByteArray out;
    for (const GpsPoint& p : points) {
        char b[GpsPoint::kSize];
        p.ToBytes(reinterpret_cast<uint8_t*>(b));
        out.append(b, sizeof b);
    }
    return out;
}

struct PlotFixture : ::testing::Test {
    RecordingCatalog catalog;
    CatalogPresenter presenter{catalog};
    RecordingMapView map;
    QTemporaryDir dir;

    void SetUp() override { ShowOnMap(&map); }
    void ShowOnMap(MapView* view) {
        CatalogViewSet views;
        views.map = view;
        presenter.SetViews(views);
    }

    // A chunk recording on disk whose GPS block follows 64 leading bytes.
    void AddChunkFile(const QByteArray& gps, uint8_t rate = 0) {
        QFile f(dir.path() + "/REC0001.MOV");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(64, '\0') + gps);
        f.close();
        RecordingFile file;
        file.root = dir.path() + "/";
        file.fileName = "REC0001.MOV";
        file.info.gpsOffset = 64;
        file.info.gpsSize = uint32_t(gps.size());
        file.info.gpsParams[0] = rate;
        CatalogStaging::Files(catalog).push_back(file);
    }

    void UseMetadataPoints(const std::vector<GpsPoint>& points, double rate = 5.0,
                           bool chunkTable = true) {
        RecordingFile file;
        file.fileName = "REC0002.MOV";
        file.info.variant = kMetadataTrackVariant;
        if (chunkTable)
            file.info.metaChunks.push_back({0, 0});
        CatalogStaging::Files(catalog).push_back(file);
        CatalogStaging::SetCurrentFile(catalog, int32_t(catalog.Files().size() - 1));
        Track track;
        track.variant = kMetadataTrackVariant;
        track.SetRecords(points);
        track.gpsRate = rate;
        track.drawsRoute = chunkTable && !points.empty();
        CatalogStaging::SetTrack(catalog, track);
    }
};

} // namespace

TEST(MinutesToDegrees, ConvertsDegreesAndMinutesTowardZero) {
    const struct {
        double in, out;
    } cases[] = {
        {35.391234, 35.652057}, {-35.391234, -35.652057},
        {139.45, 139.75},       {0.0, 0.0},
        {35.0, 35.0},           {0.30, 0.5},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(MinutesToDegrees(c.in), c.out, 5e-7) << c.in;
}

TEST(MapScriptTexts, SixDecimalsLatitudeFirst) {
    EXPECT_EQ(MovePositionScript(35.67, 139.75), "movpos(35.670000, 139.750000)");
    EXPECT_EQ(PathPlotScript(-35.6520566, 139.75), "path_plot(-35.652057,139.750000)");
    EXPECT_EQ(DrivenPlotScript(1.5, -0.25), "pathdrived_plot(1.500000,-0.250000)");
}

TEST(MapScriptTexts, BatchNumbersReadAsTheSingleCallsDo) {
    // Values where a hand-made formatter would round or sign differently.
    const double values[] = {35.6520565,  -35.6520565, 0.0000005,           -0.0000004, -0.0,
                             139.9999995, 1e-7,        123456789.123456789, 2.5e-6,     1e20};
    std::vector<double> latLon;
    QStringList expected;
    for (double v : values) {
        latLon.insert(latLon.end(), {v, -v});
        expected << QString::asprintf("%f,%f", v, -v);
    }
    const QStringList scripts = PlotBatchScripts(kPathPlotBatch, latLon);
    ASSERT_EQ(scripts.size(), 1);
    EXPECT_EQ(scripts[0].toStdString(),
              ("path_plot_batch([" + expected.join(',') + "])").toStdString());
}

TEST(MapScriptTexts, BatchesSplitInOrderAndSkipPairsThatAreNotNumbers) {
    std::vector<double> latLon;
    for (size_t i = 0; i < kPointsPerBatch + 1; ++i)
        latLon.insert(latLon.end(), {double(i), 1.0});
    // A pair the page could not read is left out, not the whole batch.
    latLon.insert(latLon.begin() + 2, {std::nan(""), 1.0});
    latLon.insert(latLon.begin() + 6, {2.0, -INFINITY});
    const QStringList scripts = PlotBatchScripts(kDrivenPlotBatch, latLon);
    ASSERT_EQ(scripts.size(), 2);
    EXPECT_TRUE(scripts[0].startsWith("pathdrived_plot_batch([0.000000,1.000000,1.000000,"));
    EXPECT_EQ(scripts[0].count(',') + 1, int(2 * kPointsPerBatch));
    EXPECT_FALSE(scripts[0].contains("nan") || scripts[0].contains("inf"));
    EXPECT_EQ(scripts[1],
              QString::asprintf("pathdrived_plot_batch([%f,1.000000])", double(kPointsPerBatch)));
    EXPECT_TRUE(PlotBatchScripts(kPathPlotBatch, {}).isEmpty());
}

TEST_F(PlotFixture, ChunkLoadClearsThenDrawsEveryPlottableRecord) {
    QByteArray gps = ChunkBytes({
        Point(3539.1234, 13945.0),        // drawn
        Point(20000.0, 13945.0),          // latitude out of range
        Point(-3539.1234, 13945.0),       // negative values have no lower bound
        Point(3539.1234, 13945.0, false), // no fix
        Point(3539.1234, 20000.0),        // longitude out of range
        Point(3539.1234, 13945.0),        // repeats are drawn too
    });
    gps += QByteArray(31, '\x7f'); // an incomplete record at the end is ignored
    AddChunkFile(gps);

    ASSERT_EQ(presenter.LoadTrack(0), 1);
    EXPECT_EQ(map.calls, QStringList({"pathdrived_delete()", "path_delete()",
                                      "path_plot_batch([35.652057,139.750000,-35.652057,139.750000,"
                                      "35.652057,139.750000])"}));
}

TEST_F(PlotFixture, PositionsOffTheGlobeNeverReachThePage) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    AddChunkFile(ChunkBytes({Point(nan, 13945.0), Point(9130.0, 13945.0),
                             Point(3539.1234, -std::numeric_limits<double>::infinity()),
                             Point(3539.1234, 13945.0)}));
    ASSERT_EQ(presenter.LoadTrack(0), 1);
    EXPECT_EQ(map.calls, QStringList({"pathdrived_delete()", "path_delete()",
                                      "path_plot_batch([35.652057,139.750000])"}));

    map.calls.clear();
    UseMetadataPoints(
        {Point(nan, 139.1), Point(95.0, 139.2), Point(35.3, 181.0), Point(35.4, 139.4)});
    presenter.PlotRoute();
    presenter.PlotDrivenTo(10000);
    EXPECT_EQ(map.calls,
              QStringList({"path_plot_batch([35.400000,139.400000])", "pathdrived_delete()",
                           "pathdrived_plot_batch([35.400000,139.400000])"}))
        << "the car does not start on a point off the globe";
}

TEST_F(PlotFixture, ChunkRouteLeavesTheCarWhereItIs) {
    AddChunkFile(ChunkBytes({Point(3539.1234, 13945.0)}));
    ASSERT_EQ(presenter.LoadTrack(0), 1);
    for (const QString& call : map.calls)
        EXPECT_FALSE(call.startsWith("MovePosition")) << call.toStdString();
}

TEST_F(PlotFixture, LoadWithoutMapKeepsTheTrack) {
    ShowOnMap(nullptr);
    AddChunkFile(ChunkBytes({Point(3539.1234, 13945.0)}));
    ASSERT_EQ(presenter.LoadTrack(0), 1);
    EXPECT_EQ(catalog.GpsPointCount(), 1);
    EXPECT_TRUE(map.calls.isEmpty());
}

TEST_F(PlotFixture, MetadataRouteSkipsPointsRepeatingEitherCoordinate) {
    UseMetadataPoints({Point(35.1, 139.1), Point(35.2, 139.1), Point(35.3, 139.2),
                       Point(35.4, 139.3, false), Point(35.3, 139.4)});
    presenter.PlotRoute();
    EXPECT_EQ(map.calls,
              QStringList({"path_plot_batch([35.100000,139.100000,35.300000,139.200000])",
                           "MovePosition(35.100000,139.100000)"}));
}

TEST_F(PlotFixture, MetadataCarStartsOnFirstPointEvenWithoutFix) {
    UseMetadataPoints({Point(35.1, 139.1, false), Point(35.2, 139.2)});
    presenter.PlotRoute();
    EXPECT_EQ(map.calls, QStringList({"path_plot_batch([35.200000,139.200000])",
                                      "MovePosition(35.100000,139.100000)"}));
}

TEST_F(PlotFixture, MetadataRouteNeedsChunkTableAndPoints) {
    UseMetadataPoints({});
    presenter.PlotRoute();
    UseMetadataPoints({Point(35.1, 139.1)}, 5.0, false);
    presenter.PlotRoute();
    EXPECT_TRUE(map.calls.isEmpty());
}

TEST_F(PlotFixture, DrivenLineIsRebuiltUpToThePlayTime) {
    // Chunk records 0..11; records 3 and 7 cannot be drawn.
    std::vector<GpsPoint> chunk;
    for (int i = 0; i < 12; ++i)
        chunk.push_back(Point(3500.0 + i, 13900.0 + i, i != 3));
    chunk[7].latitude = 20000.0;
    // Metadata points 0..13 along a diagonal; point 4 repeats point 3.
    std::vector<GpsPoint> meta;
    for (int i = 0; i < 14; ++i)
        meta.push_back(Point(35.0 + 0.01 * i, 139.0 + 0.01 * i));
    meta[4] = meta[3];

    auto chunkPoint = [](int i) {
        return QString::asprintf("%f,%f", MinutesToDegrees(35.0 + i / 100.0),
                                 MinutesToDegrees(139.0 + i / 100.0));
    };
    auto metaPoint = [](int i) {
        return QString::asprintf("%f,%f", 35.0 + 0.01 * i, 139.0 + 0.01 * i);
    };
    auto texts = [](auto point, std::initializer_list<int> indices) {
        QStringList points;
        for (int i : indices)
            points << point(i);
        return QStringList{"pathdrived_delete()",
                           "pathdrived_plot_batch([" + points.join(',') + "])"};
    };

    const struct {
        const char* name;
        bool metadata;
        double rate;
        int64_t t;
        QStringList expected;
    } cases[] = {
        {"chunk at zero", false, 1, 0, {"pathdrived_delete()"}},
        {"chunk 10.5 s", false, 1, 10500, texts(chunkPoint, {0, 1, 2, 4, 5, 6, 8, 9})},
        {"chunk past the end", false, 1, 600000,
         texts(chunkPoint, {0, 1, 2, 4, 5, 6, 8, 9, 10, 11})},
        {"chunk rate 2", false, 2, 2600, texts(chunkPoint, {0, 1, 2, 4})},
        {"metadata 2 s", true, 5, 2000, texts(metaPoint, {0, 1, 2, 3, 5, 6, 7, 8, 9})},
        {"metadata past the end", true, 5, 90000,
         texts(metaPoint, {0, 1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingCatalog fresh;
        CatalogPresenter shown(fresh);
        RecordingMapView view;
        CatalogViewSet views;
        views.map = &view;
        shown.SetViews(views);
        RecordingFile file;
        Track track;
        if (c.metadata) {
            file.info.variant = kMetadataTrackVariant;
            track.variant = kMetadataTrackVariant;
            track.SetRecords(meta);
        } else {
            track.SetRecords(chunk);
        }
        track.gpsRate = c.rate;
        CatalogStaging::Files(fresh).push_back(file);
        CatalogStaging::SetCurrentFile(fresh, 0);
        CatalogStaging::SetTrack(fresh, track);

        EXPECT_EQ(shown.PlotDrivenTo(c.t), 1);
        EXPECT_EQ(view.calls, c.expected);
    }
}

TEST_F(PlotFixture, DrivenLineEdgeCases) {
    // No recordings: nothing happens.
    EXPECT_EQ(presenter.PlotDrivenTo(5000), 0);
    EXPECT_TRUE(map.calls.isEmpty());

    // A variant without a known layout only clears the line.
    RecordingFile odd;
    odd.info.variant = 7;
    CatalogStaging::Files(catalog).push_back(odd);
    CatalogStaging::SetCurrentFile(catalog, 0);
    EXPECT_EQ(presenter.PlotDrivenTo(5000), 1);
    EXPECT_EQ(map.calls, QStringList{"pathdrived_delete()"});

    // Without a map it still reports that it ran.
    ShowOnMap(nullptr);
    EXPECT_EQ(presenter.PlotDrivenTo(5000), 1);

    // A current file outside the list is a programming error.
    CatalogStaging::SetCurrentFile(catalog, 3);
    EXPECT_THROW(presenter.PlotDrivenTo(5000), std::out_of_range);
}
