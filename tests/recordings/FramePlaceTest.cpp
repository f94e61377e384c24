// When and where the frame at a play time was taken, and which GPS point a
// click on the page's route means.
#include "recordings/FramePlace.h"
#include "recordings/RecordingCatalog.h"

#include "tests/support/core/CatalogStaging.h"
#include "tests/support/core/ScopedTimeZone.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace {

class FramePlaceTest : public ::testing::Test {
  protected:
    void AddFile(int32_t variant) {
        RecordingFile f;
        f.fileName = "FILE0001.MOV";
        f.info.variant = variant;
        f.info.startTime = 1625391005; // 2021-07-04 18:30:05 in Tokyo
        if (variant == kMetadataTrackVariant)
            f.info.metaChunks.resize(1);
        CatalogStaging::Files(catalog).push_back(f);
        CatalogStaging::SetCurrentFile(catalog, 0);
    }
    static GpsPoint Point(double latitude, double longitude, uint8_t flags = GpsPoint::kFixFlag) {
        GpsPoint p;
        p.latitude = latitude;
        p.longitude = longitude;
        p.flags = flags;
        return p;
    }
    void AddPoint(double latitude, double longitude, uint8_t flags = GpsPoint::kFixFlag) {
        AddRecord(Point(latitude, longitude, flags));
    }
    void AddRecord(const GpsPoint& p) {
        Track& track = CatalogStaging::TrackOf(catalog);
        track.variant = catalog.CurrentVariant();
        track.drawsRoute = true;
        track.AppendRecord(p);
    }

    ScopedTimeZone tokyo_{"JST-9"};
    RecordingCatalog catalog;
};

TEST_F(FramePlaceTest, StartPlusPlayTimeOrThePointsOwnTimeAndItsPlace) {
    AddFile(kChunkVariant);
    AddPoint(3539.1234, 13945.678);
    GpsPoint second = Point(3539.1234, 13945.678, 0);
    // the camera's own clock
    second.year = 21, second.month = 7, second.day = 4, second.hour = 19, second.minute = 0,
    second.second = 0;
    AddRecord(second);

    EXPECT_EQ(FramePlaceText(FramePlaceAt(catalog, 0, 2500)),
              "2021-07-04 18:30:07  35.65206, 139.76130");
    EXPECT_EQ(FramePlaceText(FramePlaceAt(catalog, 1, 2500)), "2021-07-04 19:00:00")
        << "no fix: the time alone";
    EXPECT_EQ(FramePlaceText(FramePlaceAt(catalog, 9, 61000)), "2021-07-04 18:31:06")
        << "past the track: the start plus the play time";
    CatalogStaging::Files(catalog)[0].info.startTime = 0;
    EXPECT_EQ(FramePlaceText(FramePlaceAt(catalog, 5, 1000)), "") << "no time known";
    CatalogStaging::SetCurrentFile(catalog, -1);
    EXPECT_EQ(FramePlaceText(FramePlaceAt(catalog, 0, 1000)), "");
}

// For the evidence: the camera clock's reading at the frame, and the zone
// measured between that clock (18:30:05 at the start) and the first record's
// GPS time, to the quarter hour.
TEST_F(FramePlaceTest, TheCameraReadingAndTheZoneMeasuredAgainstGpsTime) {
    const struct {
        const char* what;
        int day, hour, minute, second; // the record's GPS time, July 2021
        bool zoneKnown;
        int64_t zoneMinutes;
    } cases[] = {
        {"a camera set to Japan time", 4, 9, 30, 5, true, 9 * 60},
        {"a camera set to UTC", 4, 18, 30, 5, true, 0},
        {"a camera set to India time, 40 s slow", 4, 13, 0, 45, true, 5 * 60 + 30},
        {"a camera set to New York time", 4, 22, 30, 5, true, -4 * 60},
        {"a clock no zone explains", 2, 18, 30, 5, false, 0},
        {"no record with GPS time", 0, 0, 0, 0, false, 0},
    };
    for (const auto& c : cases) {
        CatalogStaging::Files(catalog).clear();
        CatalogStaging::SetTrack(catalog, Track());
        AddFile(kChunkVariant);
        GpsPoint p = Point(3539.1234, 13945.678);
        if (c.day)
            p.year = 21, p.month = 7, p.day = uint8_t(c.day), p.hour = uint8_t(c.hour),
            p.minute = uint8_t(c.minute), p.second = uint8_t(c.second);
        AddRecord(p);
        const FramePlace place = FramePlaceAt(catalog, 0, 2500);
        EXPECT_TRUE(place.hasReading) << c.what;
        EXPECT_EQ(place.reading,
                  QDateTime(QDate(2021, 7, 4), QTime(18, 30, 7), Qt::UTC).toSecsSinceEpoch())
            << c.what;
        EXPECT_EQ(place.zoneKnown, c.zoneKnown) << c.what;
        EXPECT_EQ(place.zoneMs, c.zoneMinutes * 60000) << c.what;
    }
}

// The page's route holds only the points the plotting sent.
TEST_F(FramePlaceTest, RoutePointsMapToTheGpsPointsThePlottingSent) {
    AddFile(kChunkVariant);
    AddPoint(3539.0, 13945.0);
    AddPoint(3539.1, 13945.1, 0); // no fix: not sent
    AddPoint(3539.2, 13945.2);
    AddPoint(20000.0, 13945.3); // off the map: not sent
    AddPoint(3539.4, 13945.4);
    const int chunk[] = {0, 2, 4, -1};
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(catalog.CurrentTrack().RoutePointIndex(k), chunk[k]) << k;
    EXPECT_EQ(catalog.CurrentTrack().RoutePointIndex(-1), -1);

    CatalogStaging::Files(catalog).clear();
    CatalogStaging::SetTrack(catalog, Track());
    AddFile(kMetadataTrackVariant);
    AddPoint(35.1, 139.1);
    AddPoint(35.2, 139.1); // one coordinate repeats: not sent
    AddPoint(35.3, 139.2);
    AddPoint(35.4, 139.3, 0);
    AddPoint(95.0, 139.35); // off the globe: not sent, and not counted
    AddPoint(35.5, 139.4);
    const int metadata[] = {0, 2, 5, -1};
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(catalog.CurrentTrack().RoutePointIndex(k), metadata[k]) << k;
}

} // namespace
