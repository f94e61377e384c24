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

} // namespace
