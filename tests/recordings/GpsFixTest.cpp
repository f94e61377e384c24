// A track's records decoded once: the same degrees, speed, heading and
// instant whatever the variant stored, and the stored form derived back for
// the page types that take it.
#include "recordings/GpsFix.h"
#include "presenter/MapScripts.h"
#include "recordings/NmeaCoordinates.h"
#include "recordings/Track.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace {

GpsPoint Record(double latitude, double longitude, uint8_t flags = GpsPoint::kFixFlag) {
    GpsPoint p;
    p.latitude = latitude;
    p.longitude = longitude;
    p.altitude = 12;
    p.speed = 72;
    p.heading = 181;
    p.flags = flags;
    p.year = 24, p.month = 3, p.day = 1, p.hour = 12, p.minute = 4, p.second = 5;
    return p;
}

QString Utc(int64_t ms) {
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toString(Qt::ISODate);
}

// The chunk record's degrees are those the route and the KML have always
// sent, to the bit; a metadata record's are taken as they are, and its time
// moved back from its position's zone.
TEST(GpsFix, BothVariantsDecodeToDegreesAndTheInstant) {
    const GpsFix chunk = DecodeFix(Record(3539.1234, -13945.678), kChunkVariant);
    EXPECT_EQ(chunk.latitude, NmeaToDegrees(3539.1234));
    EXPECT_EQ(chunk.longitude, NmeaToDegrees(-13945.678));
    EXPECT_TRUE(chunk.hasFix);
    EXPECT_TRUE(chunk.hasAltitude);
    EXPECT_EQ(chunk.altitude, 12);
    EXPECT_EQ(chunk.speedKmh, 72);
    EXPECT_EQ(chunk.headingDegrees, 362);
    ASSERT_TRUE(chunk.hasTime);
    EXPECT_EQ(Utc(chunk.utcMs), "2024-03-01T12:04:05Z") << "the receiver's UTC";
    EXPECT_EQ(chunk.clockMs, chunk.utcMs);

    const GpsFix tokyo = DecodeFix(Record(35.652057, 139.7613), kMetadataTrackVariant);
    EXPECT_EQ(tokyo.latitude, 35.652057);
    EXPECT_EQ(tokyo.longitude, 139.7613);
    EXPECT_FALSE(tokyo.hasAltitude) << "the metadata track stores none";
    EXPECT_EQ(Utc(tokyo.utcMs), "2024-03-01T03:04:05Z") << "Tokyo's 12:04 is 03:04 UTC";
    EXPECT_EQ(Utc(tokyo.clockMs), "2024-03-01T12:04:05Z") << "the clock as the record reads";

    const GpsFix newYork = DecodeFix(Record(40.71, -74.006), kMetadataTrackVariant);
    EXPECT_EQ(Utc(newYork.utcMs), "2024-03-01T17:04:05Z");
}

TEST(GpsFix, NoDateNoTimeAndNoFixNoPlace) {
    const struct {
        const char* name;
        uint8_t year, month, day, hour;
    } noTime[] = {{"year 0", 0, 3, 1, 12},
                  {"month 13", 24, 13, 1, 12},
                  {"30 February", 24, 2, 30, 12},
                  {"hour 24", 24, 3, 1, 24}};
    for (const auto& c : noTime) {
        GpsPoint p = Record(3539.0, 13945.0);
        p.year = c.year, p.month = c.month, p.day = c.day, p.hour = c.hour;
        EXPECT_FALSE(DecodeFix(p, kChunkVariant).hasTime) << c.name;
    }
    const GpsFix lost = DecodeFix(Record(3539.0, 13945.0, 0), kChunkVariant);
    EXPECT_FALSE(lost.hasFix);
    EXPECT_FALSE(lost.OnGlobe());
    EXPECT_FALSE(DecodeFix(Record(20000.0, 13945.0), kChunkVariant).OnGlobe())
        << "200 degrees after the division";
    EXPECT_FALSE(DecodeFix(Record(35.0, 180.5), kMetadataTrackVariant).OnGlobe());
    EXPECT_TRUE(DecodeFix(Record(-9000.0, -18000.0), kChunkVariant).OnGlobe());
}

// The page types other than the two maps are sent a chunk record's stored
// form divided by 100: derived from the fix, it prints as the record did.
TEST(GpsFix, StoredFormDerivedFromTheFixPrintsAsTheRecord) {
    for (double degrees = -89; degrees <= 179; degrees += 7) {
        for (double minutes : {0.0, 0.0001, 7.5, 29.9999, 39.1234, 59.9999}) {
            const double stored = (degrees < 0 ? -1 : 1) * (std::fabs(degrees) * 100 + minutes);
            const double back =
                StoredCoordinate(NmeaToDegrees(stored), StoredCoordinates::kDegreesAndMinutes);
            EXPECT_EQ(MovePositionScript(back, back),
                      MovePositionScript(stored / 100, stored / 100))
                << stored;
        }
    }
    EXPECT_EQ(StoredCoordinate(35.652057, StoredCoordinates::kDecimalDegrees), 35.652057);
    EXPECT_EQ(StoredCoordinatesOf(kChunkVariant), StoredCoordinates::kDegreesAndMinutes);
    EXPECT_EQ(StoredCoordinatesOf(kMetadataTrackVariant), StoredCoordinates::kDecimalDegrees);
}

// The car stands where the fix is; a fix without a position puts it at the
// origin, and a damaged record nowhere.
TEST(GpsFix, CarPlaceOfEachFix) {
    Track track;
    track.SetRecords({Record(3540.0, 13945.0), Record(3541.0, 13946.0, 0), Record(25000.0, 13945.0),
                      Record(3542.0, 13947.0)});
    const struct {
        int index;
        bool drawn;
        double latitude, longitude;
    } cases[] = {{0, true, 35 + 40 / 60.0, 139 + 45 / 60.0},
                 {1, true, 0, 0},
                 {2, false, 0, 0},
                 {4, false, 0, 0},
                 {-1, false, 0, 0}};
    for (const auto& c : cases) {
        double latitude = -1, longitude = -1;
        EXPECT_EQ(track.CarAt(c.index, &latitude, &longitude), c.drawn) << c.index;
        if (c.drawn) {
            EXPECT_DOUBLE_EQ(latitude, c.latitude) << c.index;
            EXPECT_DOUBLE_EQ(longitude, c.longitude) << c.index;
        }
    }
    EXPECT_EQ(track.RouteLine(), std::vector<int>()) << "a track that draws no route";
    track.drawsRoute = true;
    EXPECT_EQ(track.RouteLine(), (std::vector<int>{0, 3}));
}

} // namespace
