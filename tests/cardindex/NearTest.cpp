// "When was I here?": recordings passing a place, at their closest approach.
#include "cardindex/BoxQuery.h"
#include "cardindex/NearQuery.h"
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

// The overview's plain answers walk every fix where the index asks its
// R*Tree first: both must name the same recordings at the same moments.
TEST_F(Near, TheIndexAndAWalkOverItsRecordingsAnswerAlike) {
    const double m = 1 / kMetresPerDegree;
    const struct {
        double latitude, longitude, radiusM;
    } asked[] = {{kLat, kLon, 50},
                 {kLat, kLon, 10},
                 {kLat, kLon, 250},
                 {kLat + 30 * m, kLon + 100 * LonPerMetre(), 5},
                 {kLat - 100 * m, kLon, 120},
                 {kLat + 0.1, kLon, 50},
                 {kLat, kLon, -1},
                 {95, kLon, 50}};
    for (const auto& a : asked) {
        const std::vector<NearHit> indexed = index.Near(a.latitude, a.longitude, a.radiusM);
        const std::vector<NearHit> walked =
            RecordingsNear(index.Recordings(), a.latitude, a.longitude, a.radiusM);
        ASSERT_EQ(walked.size(), indexed.size())
            << a.latitude << "," << a.longitude << " r " << a.radiusM;
        for (size_t i = 0; i < indexed.size(); ++i) {
            EXPECT_EQ(walked[i].recording, indexed[i].recording);
            EXPECT_EQ(walked[i].offsetMs, indexed[i].offsetMs);
            EXPECT_EQ(walked[i].utcMs, indexed[i].utcMs);
            EXPECT_EQ(walked[i].distanceM, indexed[i].distanceM);
        }
    }
}

TEST_F(Near, ABoxListsTheRecordingsWithAFixInsideAtTheirFixNearestItsMiddle) {
    const double m = 1 / kMetresPerDegree;
    const GeoBox box{kLat - 40 * m, kLon - 40 * LonPerMetre(), kLat + 40 * m,
                     kLon + 40 * LonPerMetre()};
    const auto hits = index.InBox(box);
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(PathOf(hits[0]), pathA); // nearest the middle first
    EXPECT_EQ(PathOf(hits[1]), pathB);
    // A from 205 m south at 10 m a second: 5 m either side of the middle at
    // 20 and 21 s. B passes 30 m north of it at 15 s.
    EXPECT_TRUE(hits[0].offsetMs == 20000u || hits[0].offsetMs == 21000u) << hits[0].offsetMs;
    EXPECT_NEAR(hits[0].distanceM, 5, 0.5);
    EXPECT_EQ(hits[1].offsetMs, 15000u);
    EXPECT_NEAR(hits[1].distanceM, 30, 0.5);
    // The index's R*Tree and a walk over every fix answer alike (the walk
    // also finds the rear copy, which the index counts once).
    std::vector<NearHit> walked;
    for (const NearHit& hit : RecordingsInBox(index.Recordings(), box))
        if (!index.Recordings()[size_t(hit.recording)].rear)
            walked.push_back(hit);
    ASSERT_EQ(walked.size(), hits.size());
    for (size_t i = 0; i < hits.size(); ++i) {
        EXPECT_EQ(walked[i].recording, hits[i].recording);
        EXPECT_EQ(walked[i].offsetMs, hits[i].offsetMs);
        EXPECT_EQ(walked[i].distanceM, hits[i].distanceM);
    }
    EXPECT_TRUE(index.InBox({kLat + 0.1, kLon, kLat + 0.2, kLon + 0.1}).empty());
}

TEST(GeoBox, CornersAsAWebMapGivesThem) {
    const struct {
        const char* name;
        double lat1, lon1, lat2, lon2;
        GeoBox box;
    } cases[] = {
        {"plain, corners either way", 35.7, 139.8, 35.6, 139.7, {35.6, 139.7, 35.7, 139.8}},
        {"panned once round the globe", 35.6, 499.7, 35.7, 499.8, {35.6, 139.7, 35.7, 139.8}},
        {"panned west", 35.6, -220.3, 35.7, -220.2, {35.6, 139.7, 35.7, 139.8}},
        {"across the 180th meridian", -17.1, 179.9, -16.9, 180.1, {-17.1, 179.9, -16.9, -179.9}},
        {"up to the meridian", -17.1, 179.9, -16.9, 180, {-17.1, 179.9, -16.9, 180}},
        {"wider than the globe", 10, -200, 20, 170, {10, -180, 20, 180}},
    };
    for (const auto& c : cases) {
        const GeoBox box = GeoBox::FromCorners(c.lat1, c.lon1, c.lat2, c.lon2);
        EXPECT_DOUBLE_EQ(box.south, c.box.south) << c.name;
        EXPECT_DOUBLE_EQ(box.north, c.box.north) << c.name;
        EXPECT_NEAR(box.west, c.box.west, 1e-9) << c.name;
        EXPECT_NEAR(box.east, c.box.east, 1e-9) << c.name;
    }
    const GeoBox across{-17.1, 179.9, -16.9, -179.9};
    EXPECT_TRUE(across.Contains(-17, 179.95));
    EXPECT_TRUE(across.Contains(-17, -179.95));
    EXPECT_FALSE(across.Contains(-17, 0));
    EXPECT_NEAR(std::abs(across.MiddleLongitude()), 180, 1e-9);
}

// Where sums on a flat map fail: a track across the 180th meridian, one
// over the North Pole, and circles reaching most of the way round the earth.
enum class Track { DateLine, OverThePole, Tokyo };

// 20 fixes a second apart at 10 m a second; the date line and the pole lie
// halfway between fixes 9 and 10 (9.5 s in).
std::vector<synth::Fix> FixesOf(Track track) {
    std::vector<synth::Fix> fixes;
    for (int i = 0; i < 20; ++i) {
        const double metres = (i - 9.5) * 10; // past the line or the pole
        switch (track) {
        case Track::DateLine: {
            double lon = 180 + metres / (kMetresPerDegree * std::cos(17 * kPi / 180));
            if (lon > 180)
                lon -= 360;
            fixes.push_back({-17, lon, 0, 36, 90});
            break;
        }
        case Track::OverThePole:
            // North along 10° east, over the pole, south along 170° west.
            fixes.push_back({90 - std::abs(metres) / 111694.0, metres < 0 ? 10.0 : -170.0, 0, 36,
                             metres < 0 ? 0.0 : 180.0});
            break;
        case Track::Tokyo:
            fixes.push_back({kLat, kLon + (i * 10) * LonPerMetre(), 0, 36, 90});
            break;
        }
    }
    return fixes;
}

struct GlobeCase {
    const char* name;
    Track track;
    double latitude, longitude, radiusM;
    bool hit;
    double distanceM, toleranceM; // of the closest approach, when a hit
    int offsetMs;                 // of the closest approach; -1: anywhere
};

void PrintTo(const GlobeCase& c, std::ostream* out) {
    *out << c.name;
}

// Tokyo's far side: the antipode of the track's start, and a place some
// 1 750 km from it.
constexpr double kAntipodeLat = -kLat, kAntipodeLon = kLon - 180;
constexpr double kFarLat = -20, kFarLon = -40;

std::vector<GlobeCase> GlobeCases() {
    const double poleFromAcross = GeodesicMetres(89.9995, 100, 90, 0); // 55.8 m
    const double far = GeodesicMetres(kFarLat, kFarLon, kLat, kLon);   // about 18 250 km
    return {
        {"DateLineAt180", Track::DateLine, -17, 180, 20, true, 0, 1.5, 9500},
        {"DateLineAtMinus180", Track::DateLine, -17, -180, 20, true, 0, 1.5, 9500},
        {"DateLineJustEast", Track::DateLine, -17, -179.99999, 20, true, 0, 1.5, 9500},
        {"DateLineJustWest", Track::DateLine, -17, 179.99999, 20, true, 0, 1.5, 9500},
        {"DateLineMissedNorth", Track::DateLine, -16.999, 180, 100, false, 0, 0, -1},
        {"PoleAtTheCentre", Track::OverThePole, 90, 0, 20, true, 0, 1, 9500},
        {"PolePassSeenFromAcross", Track::OverThePole, 89.9995, 100, 5000, true, poleFromAcross, 1,
         9500},
        {"PolePassTooFar", Track::OverThePole, 89.9995, 100, 50, false, 0, 0, -1},
        {"FarSideWithin19000km", Track::Tokyo, kFarLat, kFarLon, 19000e3, true, far, 200, -1},
        {"FarSideBeyond18000km", Track::Tokyo, kFarLat, kFarLon, 18000e3, false, 0, 0, -1},
        {"HalfTheEarthFromTheAntipode", Track::Tokyo, kAntipodeLat, kAntipodeLon, 20010e3, true,
         GeodesicMetres(kAntipodeLat, kAntipodeLon, kLat, kLon), 200, -1},
    };
}

class NearOnTheGlobe : public IndexTest, public ::testing::WithParamInterface<GlobeCase> {};

TEST_P(NearOnTheGlobe, FindsTheClosestApproach) {
    const GlobeCase c = GetParam();
    WritePair(Recipe(At(11, 6, 0, 0), FixesOf(c.track), QuietSamples(20, 10)), 80, true, false);
    CardIndex index;
    ASSERT_TRUE(Index(&index));
    ASSERT_EQ(index.Recordings().size(), 1u);
    ASSERT_EQ(index.Recordings()[0].points.size(), 20u);
    const auto hits = index.Near(c.latitude, c.longitude, c.radiusM);
    ASSERT_EQ(hits.size(), c.hit ? 1u : 0u);
    if (!c.hit)
        return;
    EXPECT_NEAR(hits[0].distanceM, c.distanceM, c.toleranceM);
    EXPECT_LE(hits[0].distanceM, c.radiusM);
    if (c.offsetMs >= 0) {
        EXPECT_NEAR(hits[0].offsetMs, c.offsetMs, 150);
    }
}

INSTANTIATE_TEST_SUITE_P(Each, NearOnTheGlobe, ::testing::ValuesIn(GlobeCases()),
                         [](const ::testing::TestParamInfo<GlobeCase>& info) {
                             return std::string(info.param.name);
                         });

class NearTheDateLine : public IndexTest {};

// A box from 179.9999 east to -179.9999: the fixes on both sides, the two
// nearest its middle 5 m either side of it.
TEST_F(NearTheDateLine, ABoxAcrossItHoldsFixesOnBothSides) {
    WritePair(Recipe(At(11, 6, 0, 0), FixesOf(Track::DateLine), QuietSamples(20, 10)), 80, true,
              false);
    CardIndex index;
    ASSERT_TRUE(Index(&index));
    const auto inBox = index.InBox({-17.001, 179.9999, -16.999, -179.9999});
    ASSERT_EQ(inBox.size(), 1u);
    EXPECT_TRUE(inBox[0].offsetMs == 9000u || inBox[0].offsetMs == 10000u) << inBox[0].offsetMs;
    EXPECT_LT(inBox[0].distanceM, 6);
    EXPECT_TRUE(index.InBox({-17.001, 179.99, -16.999, 179.995}).empty());
}

} // namespace
