// The video surfaces and the frames behind them.
#include "ControlEvents.h"
#include "controls/CVideoStatic.h"
#include "controls/CVideoStaticBg.h"

#include <gtest/gtest.h>

namespace {

int BrightPixels(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixelColor(x, y) != QColor(5, 5, 5);
    return n;
}

TEST(VideoSurfaces, DoubleClickSendsOneMessageToTheParent) {
    RecordingParent parent;
    auto* surface = new CVideoStatic(&parent);
    auto* frame = new CVideoStaticBg(&parent);
    surface->setGeometry(10, 10, 160, 90);
    frame->setGeometry(200, 10, 160, 90);
    for (QWidget* w : {static_cast<QWidget*>(surface), static_cast<QWidget*>(frame)}) {
        parent.messages.clear();
        Click(w, {50, 50}); // a plain click is nothing
        EXPECT_TRUE(parent.messages.empty());
        DoubleClick(w, {50, 50});
        EXPECT_EQ(parent.Count(WM_VIDEO_DBLCLK), 1);
        EXPECT_EQ(parent.messages.size(), 1u);
        SendMouse(w, QEvent::MouseButtonDblClick, {50, 50}, Qt::RightButton);
        EXPECT_EQ(parent.messages.size(), 1u);
    }
}

TEST(VideoSurfaces, SurfaceIsANativeWindowOfItsOwn) {
    RecordingParent parent;
    auto* surface = new CVideoStatic(&parent);
    surface->setGeometry(10, 10, 160, 90);
    parent.show();
    ASSERT_TRUE(WaitFor([&] { return surface->isVisible(); }));
    EXPECT_TRUE(surface->internalWinId() != 0);
    EXPECT_NE(surface->winId(), parent.winId());
    // The frames keep no flag of their own beyond the hidden-surface mark.
    CVideoStaticBg frame;
    EXPECT_TRUE(frame.SurfaceHidden());
}

TEST(VideoSurfaces, ScanCounterShowsInLargeDigitsOnlyWhileShown) {
    CVideoStatic surface;
    surface.resize(320, 180);
    EXPECT_EQ(BrightPixels(Shot(&surface)), 0);

    surface.SetCounterShown(true);
    ScanCounterView* view = &surface;
    view->ShowScanCount(0);
    const QImage zero = Shot(&surface);
    EXPECT_GT(BrightPixels(zero), 500); // 72-pixel digits
    // Blue glow text starting at x = 10, y = 10.
    EXPECT_EQ(BrightPixels(zero.copy(0, 0, 320, 8)), 0);
    EXPECT_EQ(BrightPixels(zero.copy(0, 0, 8, 180)), 0);
    int blue = 0, red = 0;
    for (int y = 0; y < 180; ++y)
        for (int x = 0; x < 320; ++x) {
            const QColor c = zero.pixelColor(x, y);
            blue += c.blue() > c.red() + 40;
            red += c.red() > c.blue() + 40;
        }
    EXPECT_GT(blue, 300);
    EXPECT_EQ(red, 0);

    view->ShowScanCount(12);
    EXPECT_EQ(surface.Counter(), 12);
    const QImage twelve = Shot(&surface);
    EXPECT_GT(BrightPixels(twelve), BrightPixels(zero));

    surface.SetCounterShown(false);
    EXPECT_EQ(BrightPixels(Shot(&surface)), 0);
}

TEST(VideoSurfaces, FrameDrawsNothingOverItsParent) {
    RecordingParent parent(QColor(20, 120, 60));
    auto* frame = new CVideoStaticBg(&parent);
    frame->setGeometry(10, 10, 100, 60);
    EXPECT_EQ(parent.grab(frame->geometry()).toImage().pixelColor(50, 30), QColor(20, 120, 60));
}

} // namespace
