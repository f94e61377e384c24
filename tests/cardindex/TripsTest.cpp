// Trips of a card: which recordings form one, front/rear pairs counted once,
// and a trip's figures along its valid fixes.
#include "cardindex/TripFigures.h"

#include "tests/cardindex/IndexFixture.h"

namespace {

using namespace indextest;

struct Span {
    int startS; // -1: the time is unknown
    int durationS;
    bool counted;
};

struct SplitCase {
    const char* name;
    std::vector<Span> spans;
    std::vector<std::vector<int>> trips;
};

TEST(SplitTrips, GapsAndPairs) {
    const SplitCase cases[] = {
        {"a gap of exactly five minutes joins", {{0, 60, true}, {360, 60, true}}, {{0, 1}}},
        {"one second more splits", {{0, 60, true}, {361, 60, true}}, {{0}, {1}}},
        {"back to back", {{0, 60, true}, {60, 60, true}, {120, 60, true}}, {{0, 1, 2}}},
        {"overlapping recordings join", {{0, 60, true}, {30, 60, true}}, {{0, 1}}},
        {"sorted by start whatever the list order",
         {{1000, 60, true}, {0, 60, true}, {60, 60, true}},
         {{1, 2}, {0}}},
        {"the gap counts from the latest end so far",
         {{0, 600, true}, {10, 60, true}, {850, 60, true}},
         {{0, 1, 2}}},
        {"a rear whose front is indexed counts once",
         {{0, 60, true}, {0, 60, false}, {60, 60, true}},
         {{0, 2}}},
        {"an uncounted rear does not bridge a gap",
         {{0, 60, true}, {200, 60, false}, {500, 60, true}},
         {{0}, {2}}},
        {"a recording of unknown time is left out", {{0, 60, true}, {-1, 60, true}}, {{0}}},
    };
    for (const SplitCase& c : cases) {
        std::vector<IndexedRecording> recordings;
        std::vector<bool> counted;
        for (const Span& s : c.spans) {
            IndexedRecording r;
            r.startUtcMs = s.startS < 0 ? 0 : 1700000000000 + int64_t(s.startS) * 1000;
            r.durationMs = uint32_t(s.durationS * 1000);
            recordings.push_back(r);
            counted.push_back(s.counted);
        }
        EXPECT_EQ(SplitTrips(recordings, counted, 5 * 60 * 1000), c.trips) << c.name;
    }
}

class Trips : public IndexTest {};

// Moment 1 as a pair, moment 2 only from the rear camera, moment 3 only from
// the front: one trip of three recordings, the pair's rear not among them.
TEST_F(Trips, APairCountsOnceAndALoneRearCounts) {
    const auto fixes = [](int second) {
        return StraightFixes(35.68, 139.76 + second * 1e-4, 90, std::vector<int>(20, 40));
    };
    auto first = Recipe(At(4, 9, 0, 0), fixes(0), QuietSamples(20, 10));
    first.gsensor[50] = {0, 0, 3 * kOneG}; // an impact, to be found once
    const QString front1 = WritePair(first, 10);
    const QString rear2 =
        WritePair(Recipe(At(4, 9, 0, 20), fixes(20), QuietSamples(20, 10)), 12, false, true);
    const QString front3 =
        WritePair(Recipe(At(4, 9, 0, 40), fixes(40), QuietSamples(20, 10)), 14, true, false);
    CardIndex index;
    ASSERT_TRUE(Index(&index));
    ASSERT_EQ(index.Recordings().size(), 4u);
    const auto trips = index.Trips();
    ASSERT_EQ(trips.size(), 1u);
    std::vector<QString> paths;
    for (int r : trips[0].recordings)
        paths.push_back(index.Recordings()[size_t(r)].path);
    EXPECT_EQ(paths, (std::vector<QString>{front1, rear2, front3}));
    EXPECT_EQ(trips[0].eventCount, 1);
    ASSERT_EQ(index.Events().size(), 1u);
    EXPECT_EQ(index.Recordings()[size_t(index.Events()[0].recording)].path, front1);
}

// Standing 10 s, then 20 s at 36 km/h; a pause of two minutes; 30 s at
// 72 km/h with one fix lost; next day a third recording of its own.
TEST_F(Trips, FiguresAlongTheValidFixes) {
    std::vector<int> slow(10, 0);
    slow.insert(slow.end(), 20, 36);
    const auto one = StraightFixes(35.0, 139.0, 0, slow);
    auto two = StraightFixes(one.back().latitude + 10 / kMetresPerDegree, 139.0, 0,
                             std::vector<int>(30, 72));
    two[5].flags = 0; // no fix: its place is not a reading
    two[5].latitude = -33.0;
    WritePair(Recipe(At(4, 10, 0, 0), one, QuietSamples(30, 10)), 20, true, false);
    WritePair(Recipe(At(4, 10, 2, 30), two, QuietSamples(30, 10)), 22, true, false);
    WritePair(Recipe(At(5, 8, 0, 0), StraightFixes(35.1, 139.0, 0, std::vector<int>(10, 50)),
                     QuietSamples(10, 10)),
              24, true, false);

    CardIndex index;
    ASSERT_TRUE(Index(&index));
    const auto trips = index.Trips();
    ASSERT_EQ(trips.size(), 2u);
    const TripSummary& t = trips[0];
    EXPECT_EQ(t.number, 1);
    EXPECT_EQ(t.startUtcMs, At(4, 10, 0, 0).toMSecsSinceEpoch());
    EXPECT_EQ(t.durationMs, 180 * 1000);
    ASSERT_TRUE(t.hasPositions);
    EXPECT_NEAR(t.startLatitude, 35.0, 1e-6);
    EXPECT_NEAR(t.endLatitude, two.back().latitude, 1e-6);
    // Due north, so the sum of the steps is the distance between the ends.
    EXPECT_NEAR(t.distanceM, GeodesicMetres(35.0, 139.0, two.back().latitude, 139.0), 0.05);
    EXPECT_NEAR(t.distanceM, 780 * 110950.0 / 111320.0, 3);
    // Moving: 19 steps of rec one, 29 of rec two (the lost fix makes one of
    // two seconds); the two-minute pause is not moving time.
    EXPECT_EQ(t.movingMs, 48 * 1000);
    EXPECT_DOUBLE_EQ(t.maxKmh, 72);
    EXPECT_NEAR(t.averageMovingKmh, 770 * 110950.0 / 111320.0 / 48 * 3.6, 0.3);
    EXPECT_EQ(trips[1].number, 2);

    const auto days = index.Days();
    ASSERT_EQ(days.size(), 2u);
    EXPECT_EQ(days[0].date, QDate(2024, 3, 4));
    EXPECT_EQ(days[0].trips, std::vector<int>{1});
    EXPECT_NEAR(days[0].distanceM, t.distanceM, 1e-9);
    EXPECT_EQ(days[1].trips, std::vector<int>{2});
}

} // namespace
