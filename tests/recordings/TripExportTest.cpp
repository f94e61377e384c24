// The export form of a loaded track: which points are kept, their times in
// UTC, units, and the trip's choice of files.
#include "recordings/CsvExport.h"
#include "recordings/RecordingCatalog.h"
#include "recordings/TripModel.h"

#include "tests/support/core/CatalogStaging.h"
#include "tests/support/core/ScopedTimeZone.h"
#include "tests/support/core/ScratchDir.h"

#include <QDateTime>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

// Local time is Tokyo's (UTC+9, no daylight saving) while these tests run.
class TripModel : public ::testing::Test {
  protected:
    void AddFile(int32_t variant, uint8_t gpsRate = 0) {
        RecordingFile f;
        f.root = "/card/";
        f.fileName = "FILE0001.MOV";
        f.info.variant = variant;
        f.info.startTime = 1625391005; // 2021-07-04 18:30:05 in Tokyo
        f.info.gpsParams[0] = gpsRate;
        CatalogStaging::Files(catalog).push_back(f);
        CatalogStaging::SetCurrentFile(catalog, 0);
        Track& track = CatalogStaging::TrackOf(catalog);
        track = Track();
        track.variant = variant;
        track.gpsRate = gpsRate ? gpsRate : (variant == kChunkVariant ? 1.0 : 5.0);
    }
    void AddPoint(GpsPoint p) { CatalogStaging::TrackOf(catalog).AppendRecord(p); }
    static GpsPoint Fix(double latitude, double longitude) {
        GpsPoint p;
        p.latitude = latitude;
        p.longitude = longitude;
        p.flags = GpsPoint::kFixFlag;
        return p;
    }
    static QString Utc(const GpsFix& p) {
        return QDateTime::fromMSecsSinceEpoch(p.utcMs, Qt::UTC).toString(Qt::ISODateWithMs);
    }

    ScopedTimeZone tokyo_{"JST-9"};
    RecordingCatalog catalog;
};

TEST_F(TripModel, PointsWithoutFixOrOffEarthAreLeftOut) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double latitude, longitude;
        uint8_t flags;
        bool kept;
    } cases[] = {
        {35.652057, 139.7613, 1, true}, {35.6, 139.7, 0, false}, {nan, 139.7, 1, false},
        {35.6, INFINITY, 1, false},     {90.5, 139.7, 1, false}, {35.6, -180.5, 1, false},
        {-33.8688, -151.2, 1, true},
    };
    AddFile(kMetadataTrackVariant);
    for (const Case& c : cases) {
        GpsPoint p = Fix(c.latitude, c.longitude);
        p.flags = c.flags;
        AddPoint(p);
    }
    const TripRecording r = TripRecordingOfLoadedTrack(catalog);
    ASSERT_EQ(r.points.size(), 2u);
    EXPECT_DOUBLE_EQ(r.points[1].latitude, -33.8688);
    EXPECT_FALSE(r.points[0].hasAltitude) << "the metadata track stores no altitude";
}

TEST_F(TripModel, ChunkPointsAreConvertedAndCarryAltitudeSpeedAndCourse) {
    AddFile(kChunkVariant);
    GpsPoint p = Fix(3539.1234, 13945.678);
    p.altitude = -3;
    p.speed = 72;
    p.heading = 181; // units of 2 degrees
    AddPoint(p);
    AddPoint(Fix(20000.0, 13945.0)); // 200 degrees: not a place on Earth
    const TripRecording r = TripRecordingOfLoadedTrack(catalog);
    ASSERT_EQ(r.points.size(), 1u);
    EXPECT_NEAR(r.points[0].latitude, 35.652057, 1e-6);
    EXPECT_NEAR(r.points[0].longitude, 139.7613, 1e-6);
    EXPECT_TRUE(r.points[0].hasAltitude);
    EXPECT_EQ(r.points[0].altitude, -3);
    EXPECT_EQ(r.points[0].speedKmh, 72);
    EXPECT_EQ(r.points[0].headingDegrees, 362);
}

TEST_F(TripModel, TimeIsThePointsOwnTimeOrTheStartPlusItsIndex) {
    AddFile(kChunkVariant, 2);
    GpsPoint own = Fix(3539.0, 13945.0);
    own.year = 21, own.month = 12, own.day = 31, own.hour = 23, own.minute = 59, own.second = 58;
    AddPoint(own);
    AddPoint(Fix(3539.0, 13945.0)); // no time: start + 1 / 2 s
    GpsPoint bad = Fix(3539.0, 13945.0);
    bad.year = 21, bad.month = 13; // not a date: start + 2 / 2 s
    AddPoint(bad);
    const TripRecording r = TripRecordingOfLoadedTrack(catalog);
    ASSERT_EQ(r.points.size(), 3u);
    EXPECT_EQ(Utc(r.points[0]), "2021-12-31T23:59:58.000Z") << "the GPS receiver's UTC";
    EXPECT_EQ(Utc(r.points[1]), "2021-07-04T09:30:05.500Z");
    EXPECT_EQ(Utc(r.points[2]), "2021-07-04T09:30:06.000Z");

    CatalogStaging::Files(catalog)[0].info.startTime = 0;
    EXPECT_FALSE(TripRecordingOfLoadedTrack(catalog).points[1].hasTime)
        << "without a start time a point without its own has none";
}

// One instant, 2024-03-01 03:04:05 UTC, as each variant stores it: the chunk
// record in UTC, the metadata record moved to its position's zone (Tokyo +9,
// New York -5). The export gives that instant whatever this computer's zone.
TEST(TripModelZones, OwnTimesAreTrueUtcInEveryZone) {
    struct Stored {
        int32_t variant;
        double latitude, longitude;
        int day, hour;
    } stored[] = {
        {kChunkVariant, 3539.0, 13945.0, 1, 3},
        {kMetadataTrackVariant, 35.65, 139.76, 1, 12},
        {kMetadataTrackVariant, 40.71, -74.006, 29, 22}, // 29 February, the day before
    };
    for (const char* zone : {"UTC0", "JST-9", "EST5EDT,M3.2.0,M11.1.0"}) {
        const ScopedTimeZone tz(zone);
        for (const Stored& s : stored) {
            RecordingCatalog catalog;
            RecordingFile f;
            f.fileName = "FILE0001.MOV";
            f.info.variant = s.variant;
            CatalogStaging::Files(catalog).push_back(f);
            CatalogStaging::SetCurrentFile(catalog, 0);
            GpsPoint p;
            p.latitude = s.latitude;
            p.longitude = s.longitude;
            p.flags = GpsPoint::kFixFlag;
            p.year = 24, p.month = s.day == 1 ? 3 : 2, p.day = s.day, p.hour = s.hour;
            p.minute = 4, p.second = 5;
            Track track;
            track.variant = s.variant;
            track.SetRecords({p});
            CatalogStaging::SetTrack(catalog, track);
            const TripRecording r = TripRecordingOfLoadedTrack(catalog);
            ASSERT_EQ(r.points.size(), 1u);
            EXPECT_EQ(
                QDateTime::fromMSecsSinceEpoch(r.points[0].utcMs, Qt::UTC).toString(Qt::ISODate),
                "2024-03-01T03:04:05Z")
                << zone << " variant " << s.variant << " longitude " << s.longitude;
        }
    }
}

TEST_F(TripModel, SamplesInGOfTheCurvesScaleAtTheirOffsets) {
    AddFile(kMetadataTrackVariant);
    CatalogStaging::Files(catalog)[0].info.gsensorParams = {5, 4, 0, 0};
    CatalogStaging::TrackOf(catalog).samples = {{16, -128, 0x01FE}, {64, 0, -1}};
    const TripRecording r = TripRecordingOfLoadedTrack(catalog);
    ASSERT_EQ(r.samples.size(), 2u);
    EXPECT_EQ(r.samples[0].offsetMs, 0);
    EXPECT_EQ(r.samples[1].offsetMs, 200);
    EXPECT_DOUBLE_EQ(r.samples[0].x, 0.5);
    EXPECT_DOUBLE_EQ(r.samples[0].y, -4.0);
    EXPECT_DOUBLE_EQ(r.samples[0].z, -2.0 * 4 / 128) << "the low byte, as the curve reads it";
    EXPECT_DOUBLE_EQ(r.samples[1].x, 2.0);
}

TEST_F(TripModel, CsvQuotesNamesAndLeavesUnknownCellsEmpty) {
    Trip trip;
    TripRecording r;
    r.fileName = "we\"ird,1.MOV";
    GpsFix p;
    p.latitude = 35.5;
    p.longitude = -0.25;
    p.speedKmh = 40;
    p.headingDegrees = 90;
    r.points.push_back(p);
    trip.recordings.push_back(r);
    EXPECT_EQ(CsvPoints(trip),
              "file,time_utc,latitude,longitude,altitude_m,speed_kmh,heading_deg\r\n"
              "\"we\"\"ird,1.MOV\",,35.5000000,-0.2500000,,40,90\r\n");
}

// Of a front/rear pair only the front counts; a rear file without a front
// partner counts on its own; groups not chosen are left out.
TEST_F(TripModel, TripTakesTheChosenGroupsPairsOnce) {
    ScratchDir card;
    const QString names[] = {"front/FILE0010.MOV", "back/FILE0011_b.MOV", "back/FILE0021_b.MOV",
                             "front/FILE0030.MOV"};
    for (const QString& name : names) {
        card.Write(name);
        RecordingFile f;
        f.root = card.Root();
        f.folder = name.section('/', 0, 0) + "/";
        f.fileName = name.section('/', 1);
        CatalogStaging::Files(catalog).push_back(f);
    }
    CatalogStaging::Groups(catalog) = {{0, 0, 3, 0, 0, 0, 1}, {1, 3, 1, 0, 0, 0, 0}};
    EXPECT_EQ(TripFileIndices(catalog), (std::vector<int>{0, 2}));
    CatalogStaging::Groups(catalog)[1].chosen = 1;
    EXPECT_EQ(TripFileIndices(catalog), (std::vector<int>{0, 2, 3}));
}

// A trip that cannot be read names the recording that stopped it, so a
// failure of a whole group's export says which file to look at.
TEST_F(TripModel, ATripThatCannotBeReadNamesTheFile) {
    ScratchDir card;
    card.Write("front/FILE0010.MOV");
    for (const char* name : {"FILE0010.MOV", "FILE0012.MOV"}) {
        RecordingFile f;
        f.root = card.Root();
        f.folder = "front/";
        f.fileName = name;
        CatalogStaging::Files(catalog).push_back(f);
    }
    const struct {
        std::vector<int> files;
        bool read;
        QString failed;
    } cases[] = {
        {{0}, true, ""},
        {{0, 1}, false, CatalogStaging::Files(catalog)[1].Path()},
        {{}, false, ""},
    };
    for (const auto& c : cases) {
        Trip trip;
        QString failed = "untouched";
        EXPECT_EQ(LoadTrip(catalog, c.files, &trip, &failed), c.read) << c.files.size();
        EXPECT_EQ(failed, c.read ? QString("untouched") : c.failed) << c.files.size();
    }
}

} // namespace
