// "When was I here?": recordings passing a place, at their closest approach.
#include "cardindex/TripFigures.h"

#include "tests/cardindex/IndexFixture.h"

namespace {

using namespace indextest;

constexpr double kLat = 35.68, kLon = 139.76;

double LonPerMetre() {
    return 1 / (kMetresPerDegree * std::cos(kLat * kPi / 180));
}

// A: north through the place between two fixes (at 20.5 s). B: east, 30 m
// north of it, closest at 15 s. C: east, 200 m south: a miss. D: a rear
// copy of A, which counts once.
class Near : public IndexTest {
  protected:
    void SetUp() override {
        const auto a =
            StraightFixes(kLat - 205 / kMetresPerDegree, kLon, 0, std::vector<int>(40, 36));
        pathA = WritePair(Recipe(At(7, 10, 0, 0), a, QuietSamples(40, 10)), 40);
        const auto b = StraightFixes(kLat + 30 / kMetresPerDegree, kLon - 150 * LonPerMetre(), 90,
                                     std::vector<int>(30, 36));
        pathB = WritePair(Recipe(At(7, 11, 0, 0), b, QuietSamples(30, 10)), 42, true, false);
        const auto c = StraightFixes(kLat - 200 / kMetresPerDegree, kLon - 150 * LonPerMetre(), 90,
                                     std::vector<int>(30, 36));
        WritePair(Recipe(At(7, 12, 0, 0), c, QuietSamples(30, 10)), 44, true, false);
        ASSERT_TRUE(Index(&index));
    }
    QString PathOf(const NearHit& hit) const {
        return index.Recordings()[size_t(hit.recording)].path;
    }
    CardIndex index;
    QString pathA, pathB;
};

TEST_F(Near, KnownCrossingsAndAMiss) {
    const auto hits = index.Near(kLat, kLon, 50);
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(PathOf(hits[0]), pathA);
    EXPECT_LT(hits[0].distanceM, 0.5); // on the line between fixes 5 m away
    EXPECT_NEAR(hits[0].offsetMs, 20500, 60);
    EXPECT_NEAR(double(hits[0].utcMs), double(At(7, 10, 0, 0).toMSecsSinceEpoch() + 20500), 60);
    EXPECT_EQ(PathOf(hits[1]), pathB);
    EXPECT_NEAR(hits[1].distanceM, GeodesicMetres(kLat, kLon, kLat + 30 / kMetresPerDegree, kLon),
                0.2);
    EXPECT_NEAR(hits[1].offsetMs, 15000, 60);
}

TEST_F(Near, TheRadiusDecides) {
    EXPECT_EQ(index.Near(kLat, kLon, 10).size(), 1u);
    EXPECT_EQ(index.Near(kLat, kLon, 250).size(), 3u);
    EXPECT_TRUE(index.Near(kLat + 0.1, kLon, 50).empty());
    EXPECT_TRUE(index.Near(kLat, kLon, -1).empty());
    EXPECT_TRUE(index.Near(95, kLon, 50).empty());
}

TEST_F(Near, ABoxListsTheRecordingsWithAFixInside) {
    const double m = 1 / kMetresPerDegree;
    const auto hits = index.InBox(kLat - 40 * m, kLon - 40 * LonPerMetre(), kLat + 40 * m,
                                  kLon + 40 * LonPerMetre());
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(PathOf(hits[0]), pathA); // in time order
    EXPECT_EQ(PathOf(hits[1]), pathB);
    // A's first fix inside the box: 205 m south, 10 m a second, 40 m box.
    EXPECT_EQ(hits[0].offsetMs, 17000u);
}

class NearTheDateLine : public IndexTest {};

// East across the 180th meridian near Fiji, 10 m a second: the place on the
// meridian lies between two fixes on either side of it.
TEST_F(NearTheDateLine, ACrossingIsFoundFromBothSides) {
    std::vector<synth::Fix> fixes;
    const double step = 10 / (kMetresPerDegree * std::cos(17 * kPi / 180));
    for (int i = 0; i < 20; ++i) {
        double lon = 180 - 9.5 * step + i * step;
        if (lon > 180)
            lon -= 360;
        fixes.push_back({-17, lon, 0, 36, 90});
    }
    WritePair(Recipe(At(11, 6, 0, 0), fixes, QuietSamples(20, 10)), 80, true, false);
    CardIndex index;
    ASSERT_TRUE(Index(&index));
    for (const double place : {180.0, -180.0, 179.99999, -179.99999}) {
        const auto hits = index.Near(-17, place, 20);
        ASSERT_EQ(hits.size(), 1u) << place;
        EXPECT_LT(hits[0].distanceM, 1.5) << place;
        EXPECT_NEAR(hits[0].offsetMs, 9500, 150) << place;
    }
    // A box from 179.9999 east to -179.9999: the fixes on both sides.
    const auto inBox = index.InBox(-17.001, 179.9999, -16.999, -179.9999);
    ASSERT_EQ(inBox.size(), 1u);
    EXPECT_EQ(inBox[0].offsetMs, 9000u);
    EXPECT_TRUE(index.InBox(-17.001, 179.99, -16.999, 179.995).empty());
}

} // namespace
