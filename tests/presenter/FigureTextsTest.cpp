// The texts of figures in either of the viewer's units.
#include "presenter/FigureTexts.h"

#include <gtest/gtest.h>

namespace {

TEST(FigureTexts, SpeedsAndDistancesFollowTheUnit) {
    const FigureTexts kmh(SpeedUnit::Kmh), mph(SpeedUnit::Mph);
    const struct {
        const char* name;
        QString km, miles;
    } cases[] = {
        {"speed", kmh.Speed(100), mph.Speed(100)},
        {"speed rounds", kmh.Speed(42.5), mph.Speed(42.5)},
        {"band", kmh.SpeedRange(30, 60, false), mph.SpeedRange(30, 60, false)},
        {"open band", kmh.SpeedRange(120, 0, true), mph.SpeedRange(120, 0, true)},
        {"speed change", kmh.SpeedChange(12), mph.SpeedChange(12)},
        {"distance", kmh.Distance(12345), mph.Distance(12345)},
        {"unit", kmh.SpeedUnitName(), mph.SpeedUnitName()},
    };
    const char* const expected[][2] = {
        {"100 km/h", "62 mph"},   {"43 km/h", "26 mph"},    {"30\u201360 km/h", "19\u201337 mph"},
        {"120+ km/h", "75+ mph"}, {"12 km/h/s", "7 mph/s"}, {"12.3 km", "7.7 mi"},
        {"km/h", "mph"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(cases[i].km, QString::fromUtf8(expected[i][0])) << cases[i].name;
        EXPECT_EQ(cases[i].miles, QString::fromUtf8(expected[i][1])) << cases[i].name;
    }
    EXPECT_DOUBLE_EQ(mph.SpeedValue(160.9344), 100);
    EXPECT_DOUBLE_EQ(kmh.SpeedValue(160.9344), 160.9344);
}

TEST(FigureTexts, UnitFreeFigures) {
    EXPECT_EQ(FigureTexts::Bytes(3'200'000'000), "3.2 GB");
    EXPECT_EQ(FigureTexts::Bytes(750'400'000), "750 MB");
    EXPECT_EQ(FigureTexts::Metres(55.4), "55 m");
}

} // namespace
