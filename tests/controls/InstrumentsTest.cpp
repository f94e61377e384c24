// The speed, rate and compass read-outs of the top bar.
#include "ControlEvents.h"
#include "controls/CGdiPlusBitmapResource.h"
#include "controls/CPbSpeedLabelStatic.h"
#include "controls/CPngCompassStatic.h"
#include "controls/CSpeedLabelStatic.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

// Pixels that the read-out's amber text touched, against its dark backdrop.
int TextPixels(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixelColor(x, y) != QColor(5, 5, 5);
    return n;
}

TEST(SpeedLabel, FormatsSpeedInEitherUnit) {
    struct Case {
        uint16_t kmh;
        bool km;
        const char* number;
        const char* unit;
    } cases[] = {
        {100, true, "100", "Km/h"},     {100, false, " 62", "MPH"}, // 62.5 rounds down
        {5, true, "  5", "Km/h"},       {5, false, "  3", "MPH"},
        {0, true, "  0", "Km/h"},       {1000, true, "1000", "Km/h"}, // wider than three
        {65535, false, "40959", "MPH"},
    };
    CSpeedLabelStatic label;
    for (const Case& c : cases) {
        label.SetSpeed(c.kmh);
        label.SetKilometres(c.km);
        EXPECT_TRUE(label.UpdateText());
        EXPECT_EQ(label.NumberText(), QString::fromLatin1(c.number)) << c.kmh;
        EXPECT_EQ(label.UnitText(), QString::fromLatin1(c.unit)) << c.kmh;
    }
}

TEST(SpeedLabel, DoubleClickSwitchesUnitAndKeepsItWithoutFix) {
    RecordingParent parent;
    auto* label = new CSpeedLabelStatic(&parent);
    label->setGeometry(10, 5, 81, 32);
    EXPECT_TRUE(label->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_TRUE(label->IsKilometres());
    label->SetSpeed(100);
    label->UpdateText();
    const QImage km = Shot(label);

    // The main window hands its double-click over.
    SendMouse(label, QEvent::MouseButtonDblClick, {20, 10});
    EXPECT_FALSE(label->IsKilometres());
    EXPECT_EQ(label->NumberText(), QStringLiteral(" 62"));
    EXPECT_EQ(label->UnitText(), QStringLiteral("MPH"));
    EXPECT_NE(Shot(label), km);

    // Without a fix nothing is drawn; the unit stays miles.
    label->SetValid(false);
    label->SetSpeed(0);
    label->UpdateText();
    EXPECT_EQ(TextPixels(Shot(label)), 0);
    label->SetValid(true);
    EXPECT_GT(TextPixels(Shot(label)), 50);
    EXPECT_EQ(label->UnitText(), QStringLiteral("MPH"));

    SendMouse(label, QEvent::MouseButtonDblClick, {20, 10}, Qt::RightButton);
    EXPECT_FALSE(label->IsKilometres());
}

TEST(SpeedLabel, NumberAndUnitAreDrawnWhereTheyBelong) {
    CSpeedLabelStatic label;
    label.resize(90, 40);
    label.SetSpeed(888);
    label.UpdateText();
    const QImage img = Shot(&label);
    // The number fills the left part from y = 10, the unit starts at x = 40.
    EXPECT_EQ(TextPixels(img.copy(0, 0, 90, 9)), 0);
    EXPECT_GT(TextPixels(img.copy(0, 10, 38, 25)), 100);
    EXPECT_GT(TextPixels(img.copy(60, 18, 30, 16)), 20);
}

TEST(RateLabel, ShowsItsTextOnlyWhenVisible) {
    CPbSpeedLabelStatic label;
    label.resize(60, 32);
    EXPECT_TRUE(label.SetText("", false));
    EXPECT_EQ(TextPixels(Shot(&label)), 0);

    EXPECT_TRUE(label.SetText("0.5 X", true));
    EXPECT_EQ(label.Text(), QStringLiteral("0.5 X"));
    EXPECT_GT(TextPixels(Shot(&label)), 50);

    EXPECT_TRUE(label.SetText(nullptr, true));
    EXPECT_TRUE(label.Text().isEmpty());
    EXPECT_EQ(TextPixels(Shot(&label)), 0);
}

TEST(Compass, HeadingChoosesThePicture) {
    struct Case {
        int heading;
        int index;
    } cases[] = {
        {0, 1},  {360, 1}, {337, 2}, {338, 1},  {315, 2}, {90, 7},      {180, 5},     {270, 3},
        {22, 1}, {23, 8},  {-90, 3}, {-720, 1}, {450, 7}, {INT_MIN, 4}, {INT_MAX, 6},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CPngCompassStatic::IndexForHeading(c.heading, 8), c.index) << c.heading;
    // Fewer pictures spread the headings over what is there.
    EXPECT_EQ(CPngCompassStatic::IndexForHeading(45, 3), 2);
    EXPECT_EQ(CPngCompassStatic::IndexForHeading(0, 1), 1);
}

TEST(Compass, DrawsChosenPictureOrGreyFirstOne) {
    RecordingParent parent(QColor(0, 128, 0));
    auto* compass = new CPngCompassStatic(&parent);
    compass->setGeometry(0, 0, 48, 48);
    EXPECT_FALSE(compass->SetHeading(90)); // nothing to choose from yet
    for (unsigned id = 167; id <= 174; ++id)
        ASSERT_TRUE(compass->AddImage(id));
    EXPECT_FALSE(compass->AddImage(99999));
    EXPECT_EQ(compass->ImageCount(), 8);

    auto picture = [](unsigned id) { return CGdiPlusBitmapResource(id).Image(); };
    // Where the parent shows through, and a point of the red north tip.
    const QImage east = [&] {
        EXPECT_TRUE(compass->SetHeading(90));
        EXPECT_EQ(compass->HeadingIndex(), 7);
        return parent.grab(compass->geometry()).toImage();
    }();
    EXPECT_EQ(east.pixelColor(0, 0), QColor(0, 128, 0));
    EXPECT_EQ(east.pixelColor(20, 23), picture(173).pixelColor(20, 23));
    EXPECT_GT(east.pixelColor(20, 23).red(), 200);

    compass->SetHeadingIndex(0);
    const QImage grey = parent.grab(compass->geometry()).toImage();
    const QColor tip = grey.pixelColor(24, 20);
    EXPECT_NEAR(tip.red(), tip.green(), 2);
    EXPECT_NEAR(tip.green(), tip.blue(), 2);

    compass->SetHeadingIndex(9); // beyond the pictures: nothing drawn
    const QImage none = parent.grab(compass->geometry()).toImage();
    EXPECT_EQ(none.pixelColor(24, 24), QColor(0, 128, 0));
}

} // namespace
