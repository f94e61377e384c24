// The circles kept out of exported clips, as stored in Halvex.ini.
#include "settings/PrivacyZones.h"
#include "settings/AppSettings.h"
#include "tests/support/core/ScratchDir.h"

#include <QDir>

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
        {"0,0,inf", false},
        {"0,0,", false},
        {"0,0,25m", false},
        {"0,0,1e3", false},
        {"35.6N,139.7E,300", false},
        {"35,6,139,7,300", false},
        {"35.6,139.7,300,1", false},
        {"a,b,c", false},
        {"35,6;139,7;300", false},
        {"+35.,-.5,0.5", true},
    };
    for (const auto& c : cases) {
        PrivacyZone zone;
        QString why;
        EXPECT_EQ(PrivacyZoneFromText(c.text, &zone, &why), c.ok) << c.text;
        EXPECT_EQ(why.isEmpty(), c.ok) << c.text;
    }
}

// Every file that does not say its zones plainly is refused with the line
// that does not; nothing is guessed at or skipped.
TEST(PrivacyZones, TheSettingsFileIsReadWholeOrRefusedNamingTheLine) {
    const struct {
        const char* section; // the lines of [PRIVACY], or nullptr for none
        int zones;           // -1: refused
        const char* named;   // the line the refusal names
    } cases[] = {
        {nullptr, 0, ""},
        {"COUNT=0", 0, ""},
        {"COUNT=2\nZONE1=35.6,139.7,100\nzone2 = 35.7 , 139.8 , 50", 2, ""},
        {"COUNT=1\nZONE1=35.6,139.7,100\nZONE2=", 1, ""}, // emptied by an earlier version
        {"; a comment\nCOUNT=1\nZONE1=\"35.6,139.7,100\"", 1, ""},
        {"ZONE1=35.6,139.7,100", -1, "ZONE1=35.6,139.7,100"},
        {"COUNT=\nZONE1=35.6,139.7,100", -1, "COUNT="},
        {"COUNT=0\nZONE1=35.6,139.7,100", -1, "COUNT=0"},
        {"COUNT=-1\nZONE1=35.6,139.7,100", -1, "COUNT=-1"},
        {"COUNT=1x\nZONE1=35.6,139.7,100", -1, "COUNT=1x"},
        {"COUNT=2\nZONE1=35.6,139.7,100", -1, "COUNT=2"},
        {"COUNT=2\nZONE1=35.6,139.7,100\nZONE2=", -1, "COUNT=2"},
        {"COUNT=1\nZONE1=35.6,139.7,100\nZONE3=1,2,3", -1, "ZONE3=1,2,3"},
        {"COUNT=1\nZONE1=35.6,139.7,25m", -1, "ZONE1=35.6,139.7,25m"},
        {"COUNT=1\nZONE1=35.6,139.7,100\nCOUNT=1", -1, "COUNT=1"},
        {"COUNT=1\nZONE01=35.6,139.7,100", -1, "ZONE01=35.6,139.7,100"},
        {"COUNT=1\nZONE1 35.6,139.7,100", -1, "ZONE1 35.6,139.7,100"},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        const QString ini =
            dir.Write("Halvex.ini", QByteArray("[UI]\nLANGID=ENG\n") +
                                        (c.section ? QByteArray("[PRIVACY]\n") + c.section + "\n"
                                                   : QByteArray()) +
                                        "[MAP]\nTileUrl=x\n");
        const std::string what = c.section ? c.section : "(no section)";
        std::vector<PrivacyZone> zones{{1, 1, 1}};
        QString error;
        EXPECT_EQ(LoadPrivacyZones(ini, &zones, &error), c.zones >= 0)
            << what << error.toStdString();
        if (c.zones >= 0) {
            EXPECT_EQ(int(zones.size()), c.zones) << what;
            continue;
        }
        EXPECT_TRUE(zones.empty());
        EXPECT_TRUE(error.startsWith(ini + ", line ")) << error.toStdString();
        EXPECT_TRUE(error.contains(QString(c.named) + ": ")) << what << error.toStdString();
    }
    ScratchDir dir;
    const QString missing = dir.path() + "/Halvex.ini";
    std::vector<PrivacyZone> zones;
    QString error;
    EXPECT_TRUE(LoadPrivacyZones(missing, &zones, &error)) << "no file, no zones";
    QDir().mkdir(missing);
    EXPECT_FALSE(LoadPrivacyZones(missing, &zones, &error)) << "a folder in its place";
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
    // No limit on the number: each one kept is one left out of exports.
    std::vector<PrivacyZone> many;
    for (int i = 0; i < 100; ++i)
        many.push_back({-80.0 + i, 10.5, 300});
    many.push_back({-33.9, 151.2, 0.4});
    ASSERT_TRUE(WritePrivacyZones(settings, many));
    std::vector<PrivacyZone> read;
    QString error;
    ASSERT_TRUE(ReadPrivacyZones(settings, &read, &error)) << error.toStdString();
    ASSERT_EQ(read.size(), 101u);
    EXPECT_DOUBLE_EQ(read[99].latitude, 19);
    EXPECT_DOUBLE_EQ(read[100].radiusM, 0.4);
    ASSERT_TRUE(WritePrivacyZones(settings, {{1, 2, 3}}));
    ASSERT_TRUE(ReadPrivacyZones(settings, &read, &error)) << error.toStdString();
    ASSERT_EQ(read.size(), 1u);
    EXPECT_DOUBLE_EQ(read[0].longitude, 2);
    // A count edited up by hand finds no old zone behind it, and says so.
    settings.WriteInt("PRIVACY", "COUNT", 2);
    EXPECT_FALSE(ReadPrivacyZones(settings, &read, &error));
    EXPECT_TRUE(error.contains("ZONE2 is missing")) << error.toStdString();
}

} // namespace
