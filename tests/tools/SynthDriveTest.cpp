// The simulated drive behaves like a car: positions advance by the speed,
// headings point where it goes, it waits at lights and parks at the end, and
// the G-sensor feels its acceleration and gravity.
#include "tools/synth/Drive.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using synth::Drive;
using synth::Fix;

constexpr double kPi = 3.14159265358979323846;

double Metres(const Fix& a, const Fix& b, double* bearing = nullptr) {
    const double north = (b.latitude - a.latitude) * 111195.0;
    const double east = (b.longitude - a.longitude) * 111195.0 * std::cos(a.latitude * kPi / 180);
    if (bearing)
        *bearing = std::fmod(std::atan2(east, north) * 180 / kPi + 360, 360);
    return std::hypot(north, east);
}

TEST(SynthDrive, MovesAlongTheRouteAtTheSpeedItReports) {
    const Drive drive(synth::TokyoRoute());
    ASSERT_GT(drive.Seconds(), 400);
    const auto fixes = drive.Fixes(0, int(drive.Seconds()) + 10, 1);

    int stoppedMidway = 0, maxSpeed = 0;
    for (size_t i = 1; i < fixes.size(); ++i) {
        SCOPED_TRACE(i);
        double bearing = 0;
        const double moved = Metres(fixes[i - 1], fixes[i], &bearing);
        const double meanSpeed = (fixes[i - 1].speedKmh + fixes[i].speedKmh) / 2.0 / 3.6;
        EXPECT_NEAR(moved, meanSpeed, 1.5);
        if (moved > 5) {
            const double off =
                std::fabs(std::fmod(bearing - fixes[i].headingDegrees + 540, 360) - 180);
            EXPECT_LT(off, 25);
        }
        maxSpeed = std::max(maxSpeed, fixes[i].speedKmh);
        if (fixes[i].speedKmh == 0 && i < fixes.size() - 30)
            ++stoppedMidway;
        EXPECT_TRUE(fixes[i].flags & GpsPoint::kFixFlag);
    }
    EXPECT_GT(stoppedMidway, 60); // several red lights
    EXPECT_GT(maxSpeed, 35);
    EXPECT_LE(maxSpeed, 60);

    const auto& end = synth::TokyoRoute().back();
    EXPECT_NEAR(fixes.back().latitude, end.latitude, 1e-6);
    EXPECT_NEAR(fixes.back().longitude, end.longitude, 1e-6);
    EXPECT_EQ(fixes.back().speedKmh, 0);
}

TEST(SynthDrive, GSensorFeelsGravityAndSpeedChanges) {
    const Drive drive(synth::TokyoRoute());
    double speedUp = 0, slowDown = 0, vertical = 0;
    int nUp = 0, nDown = 0, n = 0;
    for (double t = 1; t < drive.Seconds(); t += 0.5) {
        const int change = drive.FixAt(t + 0.5).speedKmh - drive.FixAt(t - 0.5).speedKmh;
        const GSensorSample s = drive.SampleAt(t);
        vertical += s.z;
        ++n;
        if (change >= 4) {
            speedUp += s.y;
            ++nUp;
        } else if (change <= -4) {
            slowDown += s.y;
            ++nDown;
        }
        for (const int16_t axis : {s.x, s.y, s.z})
            EXPECT_LT(std::abs(axis), 128);
    }
    ASSERT_GT(nUp, 10);
    ASSERT_GT(nDown, 10);
    EXPECT_GT(speedUp / nUp, 1.5); // about 0.15 g forward
    EXPECT_LT(slowDown / nDown, -1.5);
    EXPECT_NEAR(vertical / n, 16, 1); // 1 g at 16 counts
}

TEST(SynthDrive, TheSameRouteAndSeedGiveTheSameDrive) {
    const Drive a(synth::TokyoRoute()), b(synth::TokyoRoute()), c(synth::TokyoRoute(), 99);
    EXPECT_EQ(a.Seconds(), b.Seconds());
    const Fix fa = a.FixAt(200), fb = b.FixAt(200);
    EXPECT_EQ(fa.latitude, fb.latitude);
    EXPECT_EQ(fa.speedKmh, fb.speedKmh);
    EXPECT_EQ(a.SampleAt(200.3), b.SampleAt(200.3));
    EXPECT_NE(a.Seconds(), c.Seconds());
}

} // namespace
