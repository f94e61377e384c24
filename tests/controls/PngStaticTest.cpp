// The GPS indicator and the logo: a picture in colour or in grey.
#include "ControlEvents.h"
#include "controls/CPngStatic.h"

#include <gtest/gtest.h>

namespace {

TEST(PngStatic, GpsDishIsGreyWithoutFixAndColouredWithOne) {
    RecordingParent parent(QColor(0, 0, 200));
    auto* gps = new CPngStatic(&parent);
    gps->setGeometry(10, 10, 28, 26);
    ASSERT_TRUE(gps->SetPicture(150));
    EXPECT_FALSE(gps->IsColor());

    // The green feed of the dish and the transparent corner.
    const QPoint feed(16, 9);
    const QImage grey = parent.grab(gps->geometry()).toImage();
    EXPECT_NEAR(grey.pixelColor(feed).red(), grey.pixelColor(feed).green(), 2);
    EXPECT_EQ(grey.pixelColor(0, 25), QColor(0, 0, 200));

    gps->SetColor(true);
    const QImage colour = parent.grab(gps->geometry()).toImage();
    EXPECT_GT(colour.pixelColor(feed).green(), colour.pixelColor(feed).red() + 80);
    EXPECT_EQ(colour.pixelColor(0, 25), QColor(0, 0, 200));
}

TEST(PngStatic, WithoutPictureNothingIsDrawn) {
    RecordingParent parent(QColor(0, 0, 200));
    auto* logo = new CPngStatic(&parent);
    logo->setGeometry(8, 4, 40, 40);
    EXPECT_FALSE(logo->SetPicture(99999));
    logo->SetColor(true);
    EXPECT_EQ(parent.grab(logo->geometry()).toImage().pixelColor(20, 20), QColor(0, 0, 200));
    // The logo scaled to its rectangle fills its middle.
    ASSERT_TRUE(logo->SetPicture(157));
    logo->resize(80, 80);
    EXPECT_NE(parent.grab(logo->geometry()).toImage().pixelColor(40, 40), QColor(0, 0, 200));
}

} // namespace
