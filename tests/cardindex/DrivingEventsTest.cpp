// Driving events found in synthesized drives: from the G-sensor, from the
// speed alone, and named by the speed's and the heading's change.
#include "cardindex/DrivingEvents.h"

#include "tests/cardindex/IndexFixture.h"

namespace {

using namespace indextest;

class DrivingEvents : public IndexTest {};

// 30 s at 50 km/h heading east: a 0.6 g braking at 10.0-10.6 s (the fixes
// slow down), a 0.2 g sideways bump at 15 s, a 2 g jolt at 25 s.
TEST_F(DrivingEvents, BrakingAndImpactFoundABumpNot) {
    std::vector<int> speeds(30, 50);
    for (int s = 10; s < 16; ++s)
        speeds[size_t(s)] = 50 - (s - 9) * 5;
    for (int s = 16; s < 30; ++s)
        speeds[size_t(s)] = 20;
    const auto fixes = StraightFixes(35.5, 139.5, 90, speeds);
    auto samples = QuietSamples(30, 10);
    for (int i = 100; i <= 106; ++i)
        samples[size_t(i)].y = -10; // 0.625 g backwards
    for (int i = 150; i <= 156; ++i)
        samples[size_t(i)].x = 3; // 0.19 g
    samples[250].z = 3 * kOneG;   // 2 g above gravity
    WritePair(Recipe(At(6, 7, 30, 0), fixes, samples), 30, true, false);

    CardIndex index;
    ASSERT_TRUE(Index(&index));
    const auto events = index.Events();
    ASSERT_EQ(events.size(), 2u);
    const DrivingEvent& braking = events[0];
    EXPECT_EQ(braking.kind, DrivingEventKind::HarshBraking);
    EXPECT_GE(braking.offsetMs, 10000u);
    EXPECT_LE(braking.offsetMs, 10600u);
    EXPECT_EQ(braking.utcMs, At(6, 7, 30, 0).toMSecsSinceEpoch() + braking.offsetMs);
    EXPECT_NEAR(braking.peak, 0.625, 1e-6);
    ASSERT_TRUE(braking.hasPosition);
    // Between the fixes of 10 s and 11 s.
    EXPECT_NEAR(braking.latitude, 35.5, 1e-9);
    EXPECT_GE(braking.longitude, fixes[10].longitude - 1e-9);
    EXPECT_LE(braking.longitude, fixes[11].longitude + 1e-9);

    const DrivingEvent& impact = events[1];
    EXPECT_EQ(impact.kind, DrivingEventKind::Impact);
    EXPECT_EQ(impact.offsetMs, 25000u);
    EXPECT_NEAR(impact.peak, 2.0, 1e-6);
    EXPECT_NEAR(impact.longitude, fixes[25].longitude, 1e-9);
}

// No G-sensor data: 60 km/h, then 45 a second later; a slow stop later on
// (5 km/h a second) is no event.
TEST_F(DrivingEvents, BrakingSeenInTheSpeedAlone) {
    std::vector<int> speeds = {60, 60, 60, 60, 60, 60, 45, 40, 40, 40,
                               35, 30, 25, 20, 15, 10, 5,  0,  0,  0};
    const auto fixes = StraightFixes(35.5, 139.5, 0, speeds);
    WritePair(Recipe(At(6, 8, 0, 0), fixes, {}), 32, true, false);
    CardIndex index;
    ASSERT_TRUE(Index(&index));
    ASSERT_FALSE(index.Recordings()[0].hasGSensor);
    const auto events = index.Events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, DrivingEventKind::SpeedOnlyBraking);
    EXPECT_EQ(events[0].offsetMs, 5000u);
    EXPECT_NEAR(events[0].peak, 15, 1e-9);
    EXPECT_NEAR(events[0].latitude, fixes[5].latitude, 1e-9);
}

// The camera's own event recording is an event at its strongest jolt.
TEST_F(DrivingEvents, TheCamerasEventRecording) {
    auto recipe = Recipe(At(6, 9, 0, 0), StraightFixes(35.5, 139.5, 0, std::vector<int>(10, 30)),
                         QuietSamples(10, 10));
    recipe.lock = synth::Lock::Event;
    recipe.gsensor[42] = {0, 0, kOneG * 2}; // 1 g above gravity: no impact
    WritePair(recipe, 34, true, false);
    CardIndex index;
    ASSERT_TRUE(Index(&index));
    const auto events = index.Events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, DrivingEventKind::CameraEvent);
    EXPECT_EQ(events[0].offsetMs, 4200u);
}

struct KindCase {
    const char* name;
    std::vector<int> speeds;      // one fix a second
    std::vector<double> headings; // empty: straight north
    float x, y;                   // g, held from 5.0 to 5.5 s
    DrivingEventKind kind;
};

// The rule that names a harsh run, on plain values.
TEST(DrivingEventKinds, NamedBySpeedAndHeading) {
    const KindCase cases[] = {
        {"speed falls",
         {50, 50, 50, 50, 50, 50, 44, 38, 38, 38},
         {},
         0,
         -0.5f,
         DrivingEventKind::HarshBraking},
        {"speed rises",
         {20, 20, 20, 20, 20, 20, 26, 32, 32, 32},
         {},
         0,
         0.5f,
         DrivingEventKind::HarshAcceleration},
        {"heading turns",
         std::vector<int>(10, 30),
         {0, 0, 0, 0, 0, 30, 60, 90, 90, 90},
         0.5f,
         0,
         DrivingEventKind::SharpCornering},
        {"the speed wins over a sensor mounted backwards",
         {50, 50, 50, 50, 50, 50, 44, 38, 38, 38},
         {},
         0,
         0.5f,
         DrivingEventKind::HarshBraking},
        {"no fixes: the forward axis", {}, {}, 0.1f, -0.5f, DrivingEventKind::HarshBraking},
        {"no fixes: the lateral axis", {}, {}, -0.5f, 0.1f, DrivingEventKind::SharpCornering},
    };
    for (const KindCase& c : cases) {
        std::vector<IndexedPoint> points;
        for (size_t i = 0; i < c.speeds.size(); ++i) {
            IndexedPoint p;
            p.latitude = 35 + i * 1e-4;
            p.longitude = 139;
            p.speedKmh = float(c.speeds[i]);
            p.headingDegrees = c.headings.empty() ? 0 : float(c.headings[i]);
            p.utcMs = 1700000000000 + int64_t(i) * 1000;
            p.offsetMs = uint32_t(i * 1000);
            points.push_back(p);
        }
        std::vector<IndexedSample> samples;
        for (int i = 0; i < 100; ++i) {
            const bool held = i >= 50 && i <= 55;
            samples.push_back({float(i * 100), held ? c.x : 0, held ? c.y : 0, 1});
        }
        const auto events =
            FindDrivingEvents(points, samples, false, 1700000000000, CardIndexSettings());
        ASSERT_EQ(events.size(), 1u) << c.name;
        EXPECT_EQ(events[0].kind, c.kind) << c.name;
    }
}

// Held too briefly is no event; the hold and the threshold are settings.
TEST(DrivingEventKinds, HoldAndThresholdAreSettings) {
    std::vector<IndexedSample> samples;
    for (int i = 0; i < 50; ++i)
        samples.push_back({float(i * 100), 0, i == 20 ? -0.5f : 0.f, 1});
    EXPECT_TRUE(FindDrivingEvents({}, samples, false, 0, CardIndexSettings()).empty());
    CardIndexSettings brief;
    brief.eventHoldMs = 100;
    EXPECT_EQ(FindDrivingEvents({}, samples, false, 0, brief).size(), 1u);
    CardIndexSettings strict;
    strict.eventHoldMs = 100;
    strict.eventG = 0.6;
    EXPECT_TRUE(FindDrivingEvents({}, samples, false, 0, strict).empty());
}

} // namespace
