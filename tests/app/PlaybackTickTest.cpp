#include "PlaybackHarness.h"

#include "presenter/CatalogPresenter.h"
#include "tests/support/core/CatalogStaging.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

// Where the car was put, in decimal degrees and in the stored form the
// other page types are sent.
struct CarMove {
    double latitude = 0, longitude = 0;
    double storedLatitude = 0, storedLongitude = 0;
};

struct RecordingMap : MapView {
    QStringList scripts;
    std::vector<CarMove> moves;
    void RunScript(const QString& s) override { scripts << s; }
    void MovePosition(double latitude, double longitude, StoredCoordinates stored) override {
        moves.push_back({latitude, longitude, StoredCoordinate(latitude, stored),
                         StoredCoordinate(longitude, stored)});
    }
};

GpsPoint Point(double lat, double lon, int speed, int heading, bool fix = true) {
    GpsPoint p;
    p.latitude = lat;
    p.longitude = lon;
    p.speed = uint16_t(speed);
    p.heading = uint8_t(heading);
    p.flags = fix ? GpsPoint::kFixFlag : 0;
    return p;
}

// A chunk-variant track of `points` at `rate` points per second.
struct TickFixture {
    HarnessView view;
    RecordingCatalog catalog;
    CatalogPresenter presenter{catalog};
    RecordingMap map;
    PlaybackTick tick{catalog, presenter, view};

    TickFixture(const std::vector<GpsPoint>& points, double rate, int variant = kChunkVariant) {
        RecordingFile file;
        file.info.variant = variant;
        CatalogStaging::Files(catalog).push_back(file);
        CatalogStaging::SetCurrentFile(catalog, 0);
        CatalogViewSet views;
        views.map = &map;
        presenter.SetViews(views);
        Track track;
        track.variant = variant;
        track.SetRecords(points);
        track.gpsRate = rate;
        CatalogStaging::SetTrack(catalog, track);
    }
};

TEST(TrackIndex, FollowsRateAndTime) {
    const struct {
        int64_t t;
        double rate;
        int index;
    } cases[] = {{2999, 1, 2}, {3000, 1, 3}, {3000, 2, 6}, {1000, 5, 5}, {199, 5, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(Track::IndexAt(c.t, c.rate), c.index) << c.t << " ms at " << c.rate;
}

// A click on the route seeks to the first time the tick maps to the point.
TEST(TrackIndex, TimeOfIndexIsTheFirstTimeOfThatIndex) {
    for (double rate : {1.0, 2.0, 3.0, 5.0, 10.0}) {
        for (int index : {0, 1, 7, 13, 3599}) {
            const int64_t t = Track::TimeOfIndex(index, rate);
            EXPECT_EQ(Track::IndexAt(t, rate), index) << index << " at " << rate;
            if (t > 0) {
                EXPECT_EQ(Track::IndexAt(t - 1, rate), index - 1) << index << " at " << rate;
            }
        }
    }
    EXPECT_EQ(Track::TimeOfIndex(7, 5), 1400);
    EXPECT_EQ(Track::TimeOfIndex(-1, 5), -1);
    EXPECT_EQ(Track::TimeOfIndex(3, 0), -1);
}

TEST(PlaybackTick, MovesInstrumentsAndMarkerAlongTheTrack) {
    std::vector<GpsPoint> points;
    for (int i = 0; i < 10; ++i)
        points.push_back(Point(3540.0 + i, 13945.0 + i, 40 + i, 10 + i));
    TickFixture f(points, 1);
    EXPECT_EQ(f.tick.Run(0, true, true), 1); // time 0 clears the driven line
    EXPECT_EQ(f.map.scripts, QStringList{"pathdrived_delete()"});
    EXPECT_EQ(f.tick.Run(1000, true, true), 1);
    EXPECT_EQ(f.view.speed, 41);
    EXPECT_TRUE(f.view.speedValid);
    EXPECT_EQ(f.view.compass, 22);
    ASSERT_EQ(f.map.moves.size(), 1u);
    // The stored form for the older page types, degrees for the others.
    EXPECT_DOUBLE_EQ(f.map.moves[0].storedLatitude, 35.41);
    EXPECT_DOUBLE_EQ(f.map.moves[0].latitude, 35 + 41.0 / 60);
    // Same index again: nothing is touched.
    const int updates = f.view.speedUpdates;
    EXPECT_EQ(f.tick.Run(1500, true, true), 1);
    EXPECT_EQ(f.view.speedUpdates, updates);
    EXPECT_EQ(f.map.moves.size(), 1u);
    // A forward jump of more than 3 s clears the driven line only.
    f.map.scripts.clear();
    EXPECT_EQ(f.tick.Run(5000, true, true), 1);
    EXPECT_EQ(f.map.scripts, QStringList{"pathdrived_delete()"});
    EXPECT_EQ(f.view.speed, 41);
    // Beyond the track: indicator off.
    EXPECT_EQ(f.tick.Run(7000, true, true), 1);
    EXPECT_EQ(f.tick.Run(9500, true, true), 1);
    EXPECT_EQ(f.tick.Run(10500, true, true), 0);
}

TEST(PlaybackTick, MarkerStaysWhileOneCoordinateIsUnchanged) {
    std::vector<GpsPoint> points;
    for (int i = 0; i < 5; ++i)
        points.push_back(Point(35.0 + i * 0.001, 139.5, 30, 0)); // northbound
    TickFixture f(points, 5, kMetadataTrackVariant);
    f.tick.Run(0, true, true);
    f.tick.Run(200, true, true);
    f.tick.Run(400, true, true);
    ASSERT_EQ(f.map.moves.size(), 1u);
    EXPECT_EQ(f.map.moves[0].latitude, f.map.moves[0].storedLatitude) << "sent as it is";
}

TEST(PlaybackTick, MapPaneOffStillDrivesSpeedAndCompass) {
    TickFixture f({Point(3540, 13945, 50, 45), Point(3541, 13946, 60, 90)}, 1);
    f.tick.Run(0, true, false);
    EXPECT_EQ(f.tick.Run(1000, true, false), 1);
    EXPECT_EQ(f.view.speed, 60);
    EXPECT_EQ(f.view.compass, 180);
    EXPECT_TRUE(f.map.moves.empty());
}

TEST(PlaybackTick, PointWithoutFixAndImplausibleCoordinates) {
    TickFixture f({Point(3540, 13945, 10, 0), Point(3541, 13946, 20, 0),
                   Point(3542, 13947, 30, 0, false), Point(25000, 13945, 5, 0)},
                  1);
    f.tick.Run(0, true, true);
    f.tick.Run(1000, true, true);
    EXPECT_EQ(f.tick.Run(2000, true, true), 1);
    EXPECT_FALSE(f.view.speedValid);
    EXPECT_FALSE(f.view.compassValid);
    ASSERT_EQ(f.map.moves.size(), 2u); // (0, 0) is sent once
    EXPECT_EQ(f.map.moves[1].storedLatitude, 0.0);
    EXPECT_EQ(f.tick.Run(3000, true, true), 0); // latitude 250 after the division
    EXPECT_EQ(f.map.moves.size(), 2u);
}

TEST(PlaybackTick, PositionsOffTheGlobeNeverMoveTheCar) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    TickFixture chunk({Point(0, 0, 0, 0, false), Point(nan, 13945, 10, 0),
                       Point(9130, 13945, 10, 0), Point(3540, -inf, 10, 0),
                       Point(3540, 13945, 10, 0)},
                      1);
    TickFixture meta({Point(0, 0, 0, 0, false), Point(nan, 139.5, 10, 0), Point(-95, 139.5, 10, 0),
                      Point(35.5, 180.5, 10, 0), Point(35.5, 139.5, 10, 0)},
                     1, kMetadataTrackVariant);
    for (TickFixture* f : {&chunk, &meta}) {
        f->tick.Run(0, true, true);
        for (int i = 1; i <= 3; ++i)
            EXPECT_EQ(f->tick.Run(i * 1000, true, true), 0) << i;
        EXPECT_TRUE(f->map.moves.empty());
        EXPECT_EQ(f->tick.Run(4000, true, true), 1);
        EXPECT_EQ(f->map.moves.size(), 1u);
    }
}

TEST(PlaybackTick, NoTrackResetsInstruments) {
    TickFixture f({}, 1);
    f.view.speed = 70;
    EXPECT_EQ(f.tick.Run(1000, true, true), 0);
    EXPECT_EQ(f.view.speed, 0);
    EXPECT_FALSE(f.view.speedValid);
}

} // namespace
