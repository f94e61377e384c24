// The circles kept out of exported clips, as stored in Halvex.ini.
#include "settings/PrivacyZones.h"
#include "settings/AppSettings.h"
#include "tests/support/core/ScratchDir.h"

#include <gtest/gtest.h>

namespace {

TEST(PrivacyZones, TextIsReadOnlyAsACircleOnEarth) {
    const struct {
        const char* text;
        bool ok;
    } cases[] = {
        {"35.6812,139.7671,300", true},
        {" -33.86 , 151.2 , 50 ", true},
        {"35.6,139.7", false},
        {"91,0,10", false},
        {"0,181,10", false},
        {"0,0,0", false},
        {"0,0,-5", false},
        {"0,0,nan", false},
        {"a,b,c", false},
        {"35,6;139,7;300", false},
    };
    for (const auto& c : cases) {
        PrivacyZone zone;
        EXPECT_EQ(PrivacyZoneFromText(c.text, &zone), c.ok) << c.text;
    }
}

TEST(PrivacyZones, DistanceDecidesWhatIsInside) {
    const std::vector<PrivacyZone> home = {{35.0, 139.0, 500}};
    // 0.004 degrees of latitude are about 445 m, 0.005 about 556 m.
    EXPECT_TRUE(InPrivacyZone(35.004, 139.0, home));
    EXPECT_FALSE(InPrivacyZone(35.005, 139.0, home));
    // A degree of longitude is shorter away from the equator.
    EXPECT_TRUE(InPrivacyZone(35.0, 139.0054, home));
    EXPECT_FALSE(InPrivacyZone(35.0, 139.0066, home));
    EXPECT_FALSE(InPrivacyZone(35.0, 139.0, {}));
}

TEST(PrivacyZones, WrittenZonesReadBackAndFewerReplaceMore) {
    ScratchDir dir;
    AppSettings settings(dir.path());
    ASSERT_TRUE(WritePrivacyZones(settings, {{35.5, 139.5, 300}, {-33.9, 151.2, 80}}));
    std::vector<PrivacyZone> read = ReadPrivacyZones(settings);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_DOUBLE_EQ(read[1].latitude, -33.9);
    EXPECT_DOUBLE_EQ(read[1].radiusM, 80);
    ASSERT_TRUE(WritePrivacyZones(settings, {{1, 2, 3}}));
    read = ReadPrivacyZones(settings);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_DOUBLE_EQ(read[0].longitude, 2);
    // A count edited up by hand finds no old zone behind it.
    settings.WriteInt("PRIVACY", "COUNT", 2);
    EXPECT_EQ(ReadPrivacyZones(settings).size(), 1u);
}

} // namespace
