// The figures' box as drawn: text that can be read on any picture.
#include "clip/ClipOverlayImage.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

// Rows and columns of the box holding the text's white pixels.
QRect LitBox(const QImage& image, QRect within) {
    QRect lit;
    for (int y = within.top(); y <= within.bottom(); ++y) {
        for (int x = within.left(); x <= within.right(); ++x) {
            if (qRed(image.pixel(x, y)) > 200)
                lit |= QRect(x, y, 1, 1);
        }
    }
    return lit;
}

QImage Drawn(QSize picture, const QStringList& lines) {
    ClipFigureChange change;
    change.lines = lines;
    const QSize box = OverlayBoxSize(picture, int(lines.size()), false, 20);
    return DrawOverlay(box, picture, change, {}, false);
}

TEST(ClipOverlay, DigitsAreAFortiethOfThePictureAndNeverUnder14Pixels) {
    for (const QSize picture : {QSize(1280, 720), QSize(960, 720), QSize(1920, 1080),
                                QSize(2560, 720), QSize(3840, 2160)}) {
        SCOPED_TRACE(picture.height());
        const QImage image = Drawn(picture, {"2021-07-04 18:30:08"});
        const QRect digits = LitBox(image, image.rect());
        ASSERT_FALSE(digits.isEmpty());
        EXPECT_GE(digits.height(), 14);
        EXPECT_GE(digits.height(), picture.height() / 40);
        // The whole line is inside the box.
        EXPECT_LT(digits.right(), image.width() - 1);
    }
}

// A plain 0 is an empty ring, like an O and near an 8 in a blurred picture:
// the face's 0 has a mark in its middle.
TEST(ClipOverlay, TheZeroHasAMarkInItsMiddle) {
    const QImage image = Drawn(QSize(1280, 720), {"0"});
    const QRect zero = LitBox(image, image.rect());
    ASSERT_FALSE(zero.isEmpty());
    const QRect middle(zero.center() - QPoint(1, 1), QSize(3, 3));
    EXPECT_FALSE(LitBox(image, middle).isEmpty());
}

} // namespace
