// The compiled-in pictures, looked up by resource id, and the colour
// transforms the controls derive their grey and hover faces with.
#include "controls/CGdiPlusBitmapResource.h"
#include "controls/ColorMatrix.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

struct PictureCase {
    unsigned id;
    const char* type;
    int width;
    int height;
};

// Every picture the main window, the lists, the tool-tip and the map ask for,
// at the size the control shows it.
const PictureCase kPictures[] = {
    {128, "ICON", 128, 128}, {129, "PNG", 48, 48},    {132, "PNG", 48, 48}, {133, "PNG", 40, 40},
    {136, "PNG", 40, 40},    {137, "PNG", 40, 40},    {139, "PNG", 48, 36}, {140, "PNG", 48, 36},
    {141, "PNG", 48, 36},    {142, "PNG", 48, 36},    {143, "PNG", 32, 32}, {176, "PNG", 32, 32},
    {145, "PNG", 32, 32},    {146, "PNG", 32, 32},    {147, "PNG", 32, 32}, {201, "PNG", 32, 32},
    {148, "PNG", 32, 32},    {150, "PNG", 28, 26},    {151, "PNG", 25, 25}, {152, "PNG", 25, 25},
    {153, "PNG", 25, 25},    {154, "PNG", 25, 25},    {155, "PNG", 12, 24}, {156, "PNG", 12, 24},
    {157, "PNG", 40, 40},    {1045, "PNG", 16, 16},   {187, "PNG", 16, 16}, {188, "PNG", 16, 16},
    {158, "BITMAP", 96, 24}, {161, "BITMAP", 32, 32}, {190, "PNG", 32, 24}, {167, "PNG", 48, 48},
    {168, "PNG", 48, 48},    {169, "PNG", 48, 48},    {170, "PNG", 48, 48}, {171, "PNG", 48, 48},
    {172, "PNG", 48, 48},    {173, "PNG", 48, 48},    {174, "PNG", 48, 48},
};

TEST(PictureResources, EveryPictureLoadsAtItsSize) {
    for (const PictureCase& c : kPictures) {
        CGdiPlusBitmapResource picture;
        ASSERT_TRUE(picture.Load(c.id, c.type)) << c.type << " " << c.id;
        EXPECT_EQ(picture.Width(), c.width) << c.id;
        EXPECT_EQ(picture.Height(), c.height) << c.id;
    }
}

TEST(PictureResources, MissingPictureLeavesNoneAndReleasesTheEarlierOne) {
    CGdiPlusBitmapResource picture(139);
    ASSERT_FALSE(picture.IsEmpty());
    EXPECT_FALSE(picture.Load(139, "BITMAP")); // the id exists, but not as that type
    EXPECT_TRUE(picture.IsEmpty());
    EXPECT_TRUE(picture.Load(139, "png")); // type names are not case-sensitive
    EXPECT_FALSE(picture.Load(99999));
    EXPECT_TRUE(picture.IsEmpty());
}

TEST(PictureResources, ButtonPicturesAreTransparentOutsideTheirPlate) {
    // The button composes them on the parent's background, so the corners
    // must let it through and the middle must not.
    for (unsigned id : {129u, 139u, 143u, 151u, 1045u}) {
        const QImage img = CGdiPlusBitmapResource(id).Image();
        EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0) << id;
        EXPECT_EQ(qAlpha(img.pixel(img.width() / 2, img.height() / 2)), 255) << id;
    }
}

TEST(PictureResources, CompassRosesTurnClockwiseByAnEighth) {
    // The red north half of the needle lies above the centre in 167, right of
    // it in 169, below in 171 and left in 173.
    struct Tip {
        unsigned id;
        int x, y;
    } tips[] = {{167, 24, 20}, {169, 27, 24}, {171, 23, 27}, {173, 20, 23}};
    for (const Tip& t : tips) {
        const QColor c = CGdiPlusBitmapResource(t.id).Image().pixelColor(t.x, t.y);
        EXPECT_GT(c.red(), 200) << t.id;
        EXPECT_LT(c.green(), 130) << t.id;
        // The opposite side is the pale south half, not red.
        const QColor s = CGdiPlusBitmapResource(t.id).Image().pixelColor(47 - t.x, 47 - t.y);
        EXPECT_GT(s.green(), 150) << t.id;
    }
}

TEST(PictureResources, PadlockStripHasAnEmptyCellAndThreeMarksOnMagenta) {
    const QImage strip = CGdiPlusBitmapResource(158, "BITMAP").Image();
    const QRgb magenta = qRgb(255, 0, 255);
    for (int cell = 0; cell < 4; ++cell) {
        int marked = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = cell * 24; x < cell * 24 + 24; ++x) {
                const QRgb p = strip.pixel(x, y);
                EXPECT_EQ(qAlpha(p), 255);
                marked += (p & 0xFFFFFF) != (magenta & 0xFFFFFF);
            }
        if (cell == 0)
            EXPECT_EQ(marked, 0);
        else
            EXPECT_GT(marked, 100) << cell;
    }
    // Cells 1 and 2 differ by their letter, cell 3 has none.
    EXPECT_NE(strip.copy(24, 0, 24, 24), strip.copy(48, 0, 24, 24));
    EXPECT_NE(strip.copy(48, 0, 24, 24), strip.copy(72, 0, 24, 24));
}

TEST(PictureResources, TipCheckIsOpaqueAndGreen) {
    const QImage check = CGdiPlusBitmapResource(161, "BITMAP").Image();
    for (QPoint p : {QPoint(0, 0), QPoint(31, 31), QPoint(16, 5)})
        EXPECT_EQ(qAlpha(check.pixel(p)), 255);
    const QColor middle = check.pixelColor(8, 16);
    EXPECT_GT(middle.green(), middle.red() + 60);
}

TEST(PictureResources, CarIconIsDeliveredBesideTheMapPages) {
    QFile file(QStringLiteral(HALVEX_BINARY_DIR "/res/190"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QImage car = QImage::fromData(file.readAll());
    EXPECT_EQ(car.size(), QSize(32, 24));
}

TEST(ColorMatrix, GreyAndBrightenWorkOnUnpremultipliedColourAndKeepAlpha) {
    QImage img(3, 1, QImage::Format_ARGB32);
    img.setPixel(0, 0, qRgba(200, 100, 50, 255));
    img.setPixel(1, 0, qRgba(250, 250, 250, 128)); // brightening clamps at 255
    img.setPixel(2, 0, qRgba(0, 0, 0, 0));

    const QImage grey = ApplyColorMatrix(img, kGreyMatrix);
    // 0.3 x 200 + 0.59 x 100 + 0.11 x 50 = 124.5
    const int g = qRed(grey.pixel(0, 0));
    EXPECT_NEAR(g, 124.5, 1);
    EXPECT_EQ(qGreen(grey.pixel(0, 0)), g);
    EXPECT_EQ(qBlue(grey.pixel(0, 0)), g);
    EXPECT_EQ(qAlpha(grey.pixel(1, 0)), 128);

    const QImage bright = ApplyColorMatrix(img, kBrightenMatrix);
    // 200 x 1.05 + 12.75 = 222.75; 50 x 1.05 + 12.75 = 65.25
    EXPECT_NEAR(qRed(bright.pixel(0, 0)), 223, 1);
    EXPECT_NEAR(qBlue(bright.pixel(0, 0)), 65, 1);
    EXPECT_EQ(qRed(bright.pixel(1, 0)), 255);
    EXPECT_EQ(qAlpha(bright.pixel(1, 0)), 128);
    EXPECT_EQ(qAlpha(bright.pixel(2, 0)), 0);
}

} // namespace
