// The skinned push button: which face it shows for each state, read back by
// pixel from the button as it paints itself on its parent.
#include "ControlEvents.h"
#include "controls/CGdiPlusBitmapResource.h"
#include "controls/CGdipButton.h"
#include "controls/ColorMatrix.h"

#include <gtest/gtest.h>

namespace {

// LOCK: 201 (closed padlock, standard) and 148 (open padlock, alternate), 32 x 32.
struct ButtonFixture : ::testing::Test {
    RecordingParent parent{QColor(40, 90, 160)};
    CGdipButton* button = new CGdipButton(&parent);

    void SetUp() override {
        button->setGeometry(20, 30, 32, 32);
        ASSERT_TRUE(button->LoadStdImage(201));
        ASSERT_TRUE(button->LoadAltImage(148));
    }

    CGdipButton::Picture Drawn() {
        Shot(button);
        return button->CurrentPicture();
    }
};

TEST_F(ButtonFixture, FacesAreComposedOnTheParentsBackground) {
    const QImage shot = Shot(button);
    // The plate's transparent corner shows the parent; the middle the picture.
    EXPECT_EQ(shot.pixelColor(0, 0), QColor(40, 90, 160));
    const QColor middle = shot.pixelColor(16, 18);
    EXPECT_NE(middle, QColor(40, 90, 160));

    // Every face is built once, at the button's size.
    for (int i = 0; i < CGdipButton::PictureCount; ++i)
        EXPECT_EQ(button->CachedPicture(CGdipButton::Picture(i)).size(), QSize(32, 32)) << i;

    // Pressed: the same picture one pixel right and down.
    const QImage normal = button->CachedPicture(CGdipButton::PictureStd);
    const QImage pressed = button->CachedPicture(CGdipButton::PictureStdPressed);
    EXPECT_EQ(pressed.pixel(17, 19), normal.pixel(16, 18));
    EXPECT_EQ(pressed.pixel(11, 25), normal.pixel(10, 24));

    // Hover: brighter; grey: no colour left in the amber padlock body.
    const QColor body = normal.pixelColor(10, 24);
    const QColor hover = button->CachedPicture(CGdipButton::PictureStdHover).pixelColor(10, 24);
    EXPECT_GT(hover.red() + hover.green() + hover.blue(), body.red() + body.green() + body.blue());
    const QColor grey = button->CachedPicture(CGdipButton::PictureGrey).pixelColor(10, 24);
    EXPECT_GT(body.red() - body.blue(), 100);
    EXPECT_NEAR(grey.red(), grey.blue(), 2);
}

TEST_F(ButtonFixture, TwoStateButtonFlipsOnEachPressAndShowsPressedFaceOfNewState) {
    button->EnableToggle(true);
    EXPECT_EQ(Drawn(), CGdipButton::PictureStd);

    Press(button, {16, 16});
    EXPECT_EQ(button->ImageState(), 1);
    EXPECT_EQ(Drawn(), CGdipButton::PictureAltPressed);
    // Repaints while the button is held do not flip it again.
    EXPECT_EQ(Drawn(), CGdipButton::PictureAltPressed);
    Release(button, {16, 16});
    EXPECT_EQ(Drawn(), CGdipButton::PictureAlt);

    Click(button, {16, 16});
    EXPECT_EQ(button->ImageState(), 0);
    EXPECT_EQ(Drawn(), CGdipButton::PictureStd);

    // A double-click is two presses: two flips, back where it was.
    DoubleClick(button, {16, 16});
    EXPECT_EQ(button->ImageState(), 0);
}

TEST_F(ButtonFixture, DoubleClickOnAButtonCountsAsTwoClicks) {
    int clicks = 0;
    QObject::connect(button, &QAbstractButton::clicked, [&] { ++clicks; });
    DoubleClick(button, {16, 16});
    EXPECT_EQ(clicks, 2);
}

TEST_F(ButtonFixture, PlainButtonShowsPressedFaceOfItsStateWithoutFlipping) {
    button->SetImageState(1);
    Press(button, {16, 16});
    EXPECT_EQ(Drawn(), CGdipButton::PictureAltPressed);
    Release(button, {16, 16});
    EXPECT_EQ(button->ImageState(), 1);
    EXPECT_EQ(Drawn(), CGdipButton::PictureAlt);
}

TEST_F(ButtonFixture, HoverShowsTheBrightFaceUntilThePointerLeaves) {
    parent.show();
    ASSERT_TRUE(WaitFor([&] { return parent.isVisible(); }));
    Move(button, {10, 10});
    EXPECT_FALSE(button->IsHovering()); // reported a moment later
    ASSERT_TRUE(WaitFor([&] { return button->IsHovering(); }));
    EXPECT_EQ(Drawn(), CGdipButton::PictureStdHover);
    button->SetImageState(1);
    EXPECT_EQ(Drawn(), CGdipButton::PictureAltHover);

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    EXPECT_FALSE(button->IsHovering());
    EXPECT_EQ(Drawn(), CGdipButton::PictureAlt);

    // Leaving before the hover report arrives leaves no hover behind.
    Move(button, {10, 10});
    QApplication::sendEvent(button, &leave);
    Idle(20);
    EXPECT_FALSE(button->IsHovering());
}

TEST_F(ButtonFixture, GreyWinsOverStateHoverAndPress) {
    button->EnableToggle(true);
    button->SetGrey(true);
    EXPECT_EQ(Drawn(), CGdipButton::PictureGrey);
    button->SetImageState(1);
    EXPECT_EQ(Drawn(), CGdipButton::PictureGrey);
    Press(button, {16, 16});
    EXPECT_EQ(Drawn(), CGdipButton::PictureGrey);
    Release(button, {16, 16});
    EXPECT_EQ(button->ImageState(), 1); // a grey button does not toggle
    // What is on screen is the grey face.
    EXPECT_EQ(Shot(button).pixel(10, 24), button->CachedPicture(CGdipButton::PictureGrey)
                                              .convertToFormat(QImage::Format_RGB32)
                                              .pixel(10, 24));
}

TEST_F(ButtonFixture, ResizedButtonGetsFacesOfItsNewSize) {
    Shot(button);
    button->resize(48, 48);
    Shot(button);
    EXPECT_EQ(button->CachedPicture(CGdipButton::PictureStd).size(), QSize(48, 48));
    EXPECT_EQ(button->CachedPicture(CGdipButton::PictureBackground).size(), QSize(48, 48));
}

TEST(GdipButton, ButtonWithoutPictureDrawsNoFace) {
    RecordingParent parent;
    CGdipButton button(&parent);
    button.setGeometry(0, 0, 40, 40);
    EXPECT_FALSE(button.LoadStdImage(99999));
    Shot(&button);
    EXPECT_EQ(button.CurrentPicture(), CGdipButton::PictureNone);
    EXPECT_TRUE(button.CachedPicture(CGdipButton::PictureStd).isNull());
    // A second state without its picture falls back to the standard faces.
    CGdipButton single(&parent);
    single.setGeometry(50, 0, 40, 40);
    ASSERT_TRUE(single.LoadStdImage(129));
    single.SetImageState(1);
    Shot(&single);
    EXPECT_EQ(single.CurrentPicture(), CGdipButton::PictureStd);
}

} // namespace
