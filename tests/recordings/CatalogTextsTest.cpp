#include "recordings/LocalTimeText.h"
#include "recordings/ResolutionName.h"

#include <QByteArray>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(ResolutionName, NamedSizesAndFallbacks) {
    const struct {
        uint16_t width, height;
        const char* name;
    } cases[] = {
        {2048, 1600, "QXGA"},
        {2048, 1536, "QXGA"},
        {1920, 1080, "1080P HD"},
        {1280, 720, "720P"},
        {1152, 870, "MAC"},
        {320, 240, "CIF"},
        {1920, 1088, "1920x1088"},
        {720, 576, "720x576"},
        {0, 720, ""},
        {1280, 0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolutionName(c.width, c.height), QString(c.name)) << c.width << "x" << c.height;
}

TEST(LocalTimeText, FormatsOrGivesEmptyText) {
    const QByteArray saved = qgetenv("TZ");
    const bool had = qEnvironmentVariableIsSet("TZ");
    qputenv("TZ", "UTC");
    tzset();
    EXPECT_EQ(FormatLocalTime(0, "%Y-%m-%d %H:%M:%S"), "1970-01-01 00:00:00");
    EXPECT_EQ(FormatLocalTime(1625423405, "_%Y_%m_%d_%H-%M-%S"), "_2021_07_04_18-30-05");
    EXPECT_EQ(FormatLocalTime(-1, "%H:%M:%S"), "23:59:59");
    EXPECT_EQ(FormatLocalTime(std::numeric_limits<int64_t>::max(), "%H:%M:%S"), "");
    EXPECT_EQ(FormatLocalTime(std::numeric_limits<int64_t>::min(), "%Y"), "");
    if (had)
        qputenv("TZ", saved);
    else
        qunsetenv("TZ");
    tzset();
}

// LocalToTime answers without mktime away from a change of offset; it must
// give mktime's answer everywhere: in zones east and west, across a change
// (the hour skipped and the hour twice), and for fields out of range.
TEST(LocalTimeText, LocalToTimeAgreesWithMktime) {
    const QByteArray saved = qgetenv("TZ");
    const bool had = qEnvironmentVariableIsSet("TZ");
    const char* const zones[] = {"UTC",        "Europe/Berlin",       "America/New_York",
                                 "Asia/Tokyo", "Australia/Lord_Howe", "Asia/Kolkata"};
    const struct {
        int year, month, day, hour, minute, second;
    } times[] = {{2024, 5, 18, 10, 0, 0},    {2024, 3, 31, 2, 30, 0},   {2024, 10, 27, 2, 30, 0},
                 {2024, 3, 30, 2, 30, 0},    {2024, 3, 10, 2, 30, 0},   {2024, 11, 3, 1, 30, 0},
                 {2024, 4, 7, 1, 45, 0},     {2024, 10, 6, 2, 15, 0},   {2024, 1, 1, 0, 0, 0},
                 {2023, 12, 31, 23, 59, 59}, {2024, 2, 30, 25, 61, 70}, {1970, 1, 1, 0, 0, 0}};
    for (const char* zone : zones) {
        qputenv("TZ", zone);
        tzset();
        for (const auto& t : times) {
            std::tm tm{};
            tm.tm_year = t.year - 1900;
            tm.tm_mon = t.month - 1;
            tm.tm_mday = t.day;
            tm.tm_hour = t.hour;
            tm.tm_min = t.minute;
            tm.tm_sec = t.second;
            tm.tm_isdst = -1;
            EXPECT_EQ(LocalToTime(t.year, t.month, t.day, t.hour, t.minute, t.second),
                      int64_t(std::mktime(&tm)))
                << zone << " " << t.year << "-" << t.month << "-" << t.day << " " << t.hour << ":"
                << t.minute << ":" << t.second;
        }
    }
    if (had)
        qputenv("TZ", saved);
    else
        qunsetenv("TZ");
    tzset();
}

} // namespace
