// The position and volume sliders: click and drag arithmetic, the messages
// their parent hears and the seek state the position slider keeps.
#include "ControlEvents.h"
#include "controls/CMySliderControl.h"
#include "controls/CVideoSlider.h"
#include "controls/SliderGeometry.h"

#include <gtest/gtest.h>

namespace {

struct PositionSlider : ::testing::Test {
    RecordingParent parent;
    CVideoSlider* slider = new CVideoSlider(&parent);

    void Place(int width) {
        parent.resize(width + 20, 60);
        slider->setGeometry(5, 10, width, 20);
        slider->setRange(0, 1000);
        Shot(slider); // a paint works out the seek state
    }
    // x of a position along the channel.
    int XOf(int position) const {
        const QRect c = slider->ChannelRect();
        return c.left() + position * c.width() / 1000;
    }
};

TEST_F(PositionSlider, WidthDecidesSeekMinimumAndSpan) {
    struct Case {
        int width, minimum;
    } cases[] = {{740, 24}, {500, 35}, {1910, 9}, {17760, 1}, {20000, 0}, {18, 986}, {10, 999}};
    for (const Case& c : cases) {
        Place(c.width);
        EXPECT_EQ(slider->SeekMinimum(), c.minimum) << c.width;
        EXPECT_EQ(slider->SeekSpan(), 1000 - c.minimum) << c.width;
    }
}

TEST_F(PositionSlider, CursorFollowsThumbPosition) {
    // A channel 500 pixels wide (client 516) at position 500 of 0..1000:
    // 500 x 490 / 1000 + 10.
    Place(516);
    ASSERT_EQ(slider->ChannelRect().width(), 500);
    struct Case {
        int position, cursor;
    } cases[] = {{500, 255}, {1000, 500}, {0, 10}, {1, 10}, {3, 11}};
    for (const Case& c : cases) {
        slider->setValue(c.position);
        Shot(slider);
        EXPECT_EQ(slider->SeekCursorX(), c.cursor) << c.position;
    }
}

TEST_F(PositionSlider, ClickJumpsToThePointButParentHearsOnlyOnMoveOrRelease) {
    Place(1016); // a channel of 1000 pixels: one position per pixel
    ASSERT_EQ(slider->SeekMinimum(), 17);
    Press(slider, {XOf(600), 10});
    EXPECT_EQ(slider->value(), 600); // no paging toward the point
    EXPECT_TRUE(slider->IsDragging());
    EXPECT_TRUE(parent.messages.empty());

    Drag(slider, {XOf(700), 10});
    EXPECT_EQ(slider->value(), 700);
    EXPECT_EQ(parent.Count(WM_SEEK_REQUEST), 1);
    Drag(slider, {XOf(750), 10});
    EXPECT_EQ(parent.Count(WM_SEEK_REQUEST), 2);

    Release(slider, {XOf(800), 10});
    EXPECT_EQ(slider->value(), 800);
    EXPECT_FALSE(slider->IsDragging());
    EXPECT_EQ(parent.Count(WM_SEEK_REQUEST), 3);

    // A move that did not start with a press on the slider is not a drag.
    Drag(slider, {XOf(100), 10});
    EXPECT_EQ(slider->value(), 800);
    EXPECT_EQ(parent.Count(WM_SEEK_REQUEST), 3);
    EXPECT_EQ(parent.messages.size(), 3u);
}

TEST_F(PositionSlider, PositionNeverFallsBelowSeekMinimum) {
    Place(740);
    Click(slider, {0, 10});
    EXPECT_EQ(slider->value(), 24);
    Click(slider, {slider->ChannelRect().left() + 5, 10}); // 1000 x 5 / 724 = 6
    EXPECT_EQ(slider->value(), 24);
    Click(slider, {739, 10}); // past the channel's end: the range's end
    EXPECT_EQ(slider->value(), 1000);
}

TEST_F(PositionSlider, ThumbIsGreenAndTurnsMagentaWhileDragged) {
    Place(300);
    slider->setValue(500);
    const QPoint middle = slider->ThumbRect().center();
    EXPECT_EQ(Shot(slider).pixelColor(middle), QColor(100, 250, 100));
    EXPECT_EQ(Shot(slider).pixelColor(2, 2), QColor(0, 0, 0)); // the black channel
    Press(slider, middle);
    EXPECT_EQ(Shot(slider).pixelColor(slider->ThumbRect().center()), QColor(240, 0, 180));
    Release(slider, middle);
}

TEST(PositionSliderState, SliderWithoutWidthOrRangeKeepsTheSeekState) {
    RecordingParent parent;
    CVideoSlider slider(&parent);
    slider.setRange(0, 1000);
    slider.resize(0, 20);
    slider.grab();
    EXPECT_EQ(slider.SeekMinimum(), 0);
    EXPECT_EQ(slider.SeekSpan(), 1000);

    // Clicks on an empty range or channel do not divide by zero.
    slider.setRange(5, 5);
    slider.resize(300, 20);
    Click(&slider, {100, 10});
    EXPECT_EQ(slider.value(), 5);
    EXPECT_EQ(SliderPositionFromX(10, QRect(8, 8, 0, 4), QRect(0, 0, 16, 20), 0, 100, 42), 42);
    const SeekGeometry before{7, 993, 77};
    const SeekGeometry after = ComputeSeekGeometry(500, 484, 0, 3, 3, before);
    EXPECT_EQ(after.minimum, 7);
    EXPECT_EQ(after.cursorX, 77);
}

struct VolumeSlider : ::testing::Test {
    RecordingParent parent{QColor(90, 30, 120)};
    CMySliderControl* slider = new CMySliderControl(&parent);

    void SetUp() override {
        // A channel of 100 pixels: one position per pixel.
        slider->setGeometry(316, 20, 116, 20);
        slider->setRange(0, 100);
        slider->setValue(50);
    }
    int XOf(int position) const {
        const QRect c = slider->ChannelRect();
        return c.left() + position * c.width() / 100;
    }
};

TEST_F(VolumeSlider, DraggingReportsEveryMoveAndTheReleaseAndStopsAtTheEnds) {
    Press(slider, {XOf(30), 10});
    EXPECT_EQ(slider->value(), 30);
    EXPECT_TRUE(parent.messages.empty());
    Drag(slider, {XOf(80), 10});
    EXPECT_EQ(slider->value(), 80);
    Drag(slider, {200, 10}); // far past the end
    EXPECT_EQ(slider->value(), 100);
    Release(slider, {200, 10});
    EXPECT_EQ(slider->value(), 100);
    EXPECT_EQ(parent.Count(WM_VOLUME_CHANGED), 3);
    EXPECT_EQ(parent.messages.size(), 3u);

    Click(slider, {-30, 10});
    EXPECT_EQ(slider->value(), 0);
    EXPECT_EQ(parent.Count(WM_VOLUME_CHANGED), 4);
}

TEST_F(VolumeSlider, DrawsOverACopyOfTheParentsBackgroundTakenOnce) {
    EXPECT_FALSE(slider->HasCachedBackground());
    QImage shot = Shot(slider);
    EXPECT_TRUE(slider->HasCachedBackground());
    // Outside the channel and thumb the parent's colour shows.
    EXPECT_EQ(shot.pixelColor(1, 1), QColor(90, 30, 120));
    EXPECT_EQ(shot.pixelColor(slider->ThumbRect().center()), QColor(255, 0, 0));
    // The channel widened by 2 above and below, framed by a sunken edge.
    const QRect channel = slider->ChannelRect().adjusted(0, -2, 0, 2);
    EXPECT_NE(shot.pixelColor(channel.left() + 1, channel.top()), QColor(90, 30, 120));
    EXPECT_EQ(shot.pixelColor(channel.left() + 1, channel.top() - 1), QColor(90, 30, 120));

    // Moving the slider drops the copy; the next paint takes a new one.
    parent.show();
    ASSERT_TRUE(WaitFor([&] { return slider->isVisible(); }));
    Shot(slider);
    ASSERT_TRUE(slider->HasCachedBackground());
    slider->move(200, 20);
    EXPECT_FALSE(slider->HasCachedBackground());
    Shot(slider);
    EXPECT_TRUE(slider->HasCachedBackground());

    Press(slider, slider->ThumbRect().center());
    EXPECT_EQ(Shot(slider).pixelColor(slider->ThumbRect().center()), QColor(170, 0, 0));
    Release(slider, slider->ThumbRect().center());
}

} // namespace
