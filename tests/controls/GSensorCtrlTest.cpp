// The curve control as a widget: its position, its cursor at the slider's
// thumb, and the legend that switches axes on and off.
#include "controls/CGSensorCtrl.h"
#include "controls/CVideoSlider.h"
#include "controls/GSensorCurveColors.h"
#include "controls/GSensorCurvePainter.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

// What a fresh drawing of the whole strip shows for its present state.
QImage FreshDrawing(CGSensorCtrl& ctrl, int seekCursorX, bool seekHappened = false) {
    QImage img(ctrl.size(), QImage::Format_RGB32);
    QPainter p(&img);
    DrawGSensorGraph(p, ctrl.size(), ctrl.CurveState(), GSensorCurveDrawing::Direct);
    const GSensorPlot plot = GSensorPlot::FromClient(ctrl.size());
    DrawGSensorCursor(p, plot, GSensorCursorX(ctrl.CurveState(), plot, seekCursorX, seekHappened));
    DrawGSensorLabels(p, ctrl.size(), ctrl.CurveState());
    return img;
}

void Click(QWidget& w, QPoint at) {
    const QPointF global = w.mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &release);
}

bool ShowsColour(const QImage& img, const QColor& colour, QRect area) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (img.pixelColor(x, y) == colour)
                return true;
    return false;
}

// As the track loader leaves it: 600 samples at 10 per second, 60 s.
void Load(CGSensorCtrl& ctrl) {
    GSensorCurveState& s = ctrl.CurveState();
    s.samples.clear();
    for (int i = 0; i < 600; ++i)
        s.samples.push_back({int16_t(64 + i % 5), int16_t(-64 + i % 3), 32});
    s.fullScale = 2.0;
    s.range = 2.0;
    s.samplesPerMs = 0.01;
    s.pixelsPerMs = 0.01;
    s.scaleMode = 2;
    ctrl.RecalcScale();
}

class GSensorCtrlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ctrl.resize(626, 128); // plot 600 wide from x = 24, rows 20..120
    }
    CGSensorCtrl ctrl;
};

TEST_F(GSensorCtrlTest, SetPositionKeepsThePositionWithinTheRecording) {
    Load(ctrl);
    EXPECT_DOUBLE_EQ(ctrl.CurveState().duration, 60000.0);
    struct Case {
        int ms;
        double position;
    } cases[] = {{-5, 0}, {0, 0}, {1234, 1234}, {60000, 60000}, {60001, 60000}, {1 << 30, 60000}};
    for (const Case& c : cases) {
        EXPECT_TRUE(ctrl.SetPosition(c.ms));
        EXPECT_DOUBLE_EQ(ctrl.CurveState().position, c.position) << c.ms;
    }
    // SetPosition recomputes the duration from what the owner wrote.
    ctrl.CurveState().samples.resize(300);
    ctrl.SetPosition(45000);
    EXPECT_DOUBLE_EQ(ctrl.CurveState().duration, 30000.0);
    EXPECT_DOUBLE_EQ(ctrl.CurveState().position, 30000.0);

    // With no samples there is nothing to move along.
    ctrl.CurveState().samples.clear();
    ctrl.SetPosition(500);
    EXPECT_DOUBLE_EQ(ctrl.CurveState().position, 0.0);
}

TEST_F(GSensorCtrlTest, CursorFollowsTheSliderOncePlaybackMoves) {
    Load(ctrl);
    ctrl.FollowSeekCursor(300);
    const QRect column0(23, 40, 2, 40), column300(299, 40, 2, 40);
    QImage img = ctrl.grab().toImage();
    EXPECT_TRUE(ShowsColour(img, GSensorColors::kCursor, column0));
    EXPECT_FALSE(ShowsColour(img, GSensorColors::kCursor, column300));

    ctrl.SetPosition(1000);
    img = ctrl.grab().toImage();
    EXPECT_FALSE(ShowsColour(img, GSensorColors::kCursor, column0));
    EXPECT_TRUE(ShowsColour(img, GSensorColors::kCursor, column300));

    // A seek back to 0 keeps the cursor on the thumb for one paint, which
    // then clears the seek flag.
    ctrl.SetPosition(0);
    ctrl.NoteSeek();
    img = ctrl.grab().toImage();
    EXPECT_TRUE(ShowsColour(img, GSensorColors::kCursor, column300));
    img = ctrl.grab().toImage();
    EXPECT_TRUE(ShowsColour(img, GSensorColors::kCursor, column0));
}

TEST_F(GSensorCtrlTest, LegendBoxesToggleTheirAxis) {
    Load(ctrl);
    ctrl.SetPosition(2000);
    const QRect plot(25, 21, 598, 98);
    QImage img = ctrl.grab().toImage();
    for (int a = 0; a < 3; ++a)
        ASSERT_TRUE(ShowsColour(img, GSensorColors::kCurve[a], plot)) << a;
    const auto boxes = ctrl.LegendBoxes();
    EXPECT_EQ(boxes[0].topLeft(), QPoint(41, 3));         // active: moved 1 pixel right and down
    EXPECT_EQ(boxes[1].left(), boxes[0].right() + 1 + 8); // 8 pixels between boxes
    EXPECT_EQ(img.pixelColor(41, 2), GSensorColors::kActiveFrameLight);

    Click(ctrl, boxes[1].center());
    EXPECT_FALSE(ctrl.CurveState().axisVisible[1]);
    img = ctrl.grab().toImage();
    EXPECT_TRUE(ShowsColour(img, GSensorColors::kCurve[0], plot));
    EXPECT_FALSE(ShowsColour(img, GSensorColors::kCurve[1], plot));
    EXPECT_TRUE(ShowsColour(img, GSensorColors::kCurve[2], plot));
    // Only the Y box turns grey: it moves back to its resting place and its
    // text loses the axis colour, while X and Z keep theirs.
    const auto after = ctrl.LegendBoxes();
    EXPECT_EQ(after[1].topLeft(), boxes[1].topLeft() - QPoint(1, 1));
    EXPECT_EQ(img.pixelColor(after[1].left() - 1, 1), GSensorColors::kInactiveFrameLight);
    EXPECT_FALSE(ShowsColour(img, GSensorColors::kCurve[1], after[1]));
    EXPECT_TRUE(ShowsColour(img, GSensorColors::kInactiveText, after[1]));
    EXPECT_TRUE(ShowsColour(img, GSensorColors::kCurve[0], after[0]));
    EXPECT_TRUE(ShowsColour(img, GSensorColors::kCurve[2], after[2]));

    Click(ctrl, QPoint(300, 70)); // outside the boxes: nothing changes
    EXPECT_FALSE(ctrl.CurveState().axisVisible[1]);
    Click(ctrl, after[1].center());
    EXPECT_TRUE(ctrl.CurveState().axisVisible[1]);
    img = ctrl.grab().toImage();
    EXPECT_TRUE(ShowsColour(img, GSensorColors::kCurve[1], plot));
}

TEST_F(GSensorCtrlTest, StoppedStripShowsNoCurvesAndTheFirstSampleInGrey) {
    Load(ctrl);
    ctrl.SetPosition(0);
    ctrl.CurveState().stopped = true;
    const QImage img = ctrl.grab().toImage();
    const auto boxes = ctrl.LegendBoxes();
    for (int a = 0; a < 3; ++a) {
        EXPECT_FALSE(ShowsColour(img, GSensorColors::kCurve[a], QRect(25, 21, 598, 98))) << a;
        EXPECT_FALSE(ShowsColour(img, GSensorColors::kCurve[a], boxes[size_t(a)])) << a;
        EXPECT_EQ(boxes[size_t(a)].top(), 2) << a; // inactive boxes do not move
    }
    EXPECT_EQ(boxes[0].left(), 40);
}

TEST_F(GSensorCtrlTest, AnEmptyStripHasAnInactiveLegend) {
    const QImage img = ctrl.grab().toImage();
    const auto boxes = ctrl.LegendBoxes();
    EXPECT_EQ(boxes[0].topLeft(), QPoint(40, 2));
    EXPECT_EQ(img.pixelColor(39, 1), GSensorColors::kInactiveFrameLight);
    EXPECT_TRUE(ShowsColour(img, GSensorColors::kInactiveText, boxes[0]));
    // The scale labels are white (anti-aliased) text left of the plot.
    const int r = (128 - 20) / 6;
    for (int y : {r + 10, 3 * r + 10, 5 * r + 10}) {
        int bright = 0;
        for (int row = y; row < y + 10; ++row)
            for (int x = 4; x < 23; ++x)
                bright += img.pixelColor(x, row).lightness() > 180;
        EXPECT_GT(bright, 5) << y;
    }
}

// The strip keeps its last graph between repaints; whatever changes, what
// it shows must equal a fresh drawing with one line per sample.
TEST_F(GSensorCtrlTest, RepaintsMatchAFreshDrawingWhateverChanged) {
    auto fresh = [this] { return FreshDrawing(ctrl, 250); };
    ctrl.FollowSeekCursor(250);
    const std::function<void()> changes[] = {
        [] {},
        [this] { Load(ctrl); },
        [this] { ctrl.SetPosition(30000); },
        [this] { ctrl.CurveState().samples[100].x = 120; }, // edited in place
        [this] { ctrl.CurveState().axisVisible[0] = false; },
        [this] { ctrl.CurveState().range = 1.0; },
        [this] { ctrl.CurveState().fullScale = 4.0; },
        [this] { ctrl.CurveState().scaleMode = 1; },
        [this] { ctrl.CurveState().fixedWindowMs = 10000; },
        [this] { ctrl.CurveState().stopped = true; },
        [this] { ctrl.CurveState().stopped = false; },
        [this] { ctrl.resize(700, 150); },
        [this] { ctrl.CurveState().samples.resize(50); },
    };
    int step = 0;
    for (const auto& change : changes) {
        change();
        EXPECT_EQ(ctrl.grab().toImage().convertToFormat(QImage::Format_RGB32), fresh())
            << "after change " << step;
        ++step;
    }
}

// On a playback tick the strip repaints only the legend and the cursor's old
// and new columns. What the screen shows must still equal a fresh drawing:
// the old cursor's pixels restored from the graph, the new one drawn.
TEST(GSensorCtrlOnScreen, TicksRepaintTheCursorAndLegendOnlyAndLeaveNoTrace) {
    QWidget window;
    window.setGeometry(0, 0, 700, 200);
    auto* ctrl = new CGSensorCtrl(&window);
    ctrl->setGeometry(10, 10, 626, 128);
    auto* slider = new CVideoSlider(&window);
    slider->setGeometry(10, 150, 626, 20);
    slider->setRange(0, 1000);
    // As the main window wires them.
    QObject::connect(slider, &CVideoSlider::SeekCursorMoved, ctrl, &CGSensorCtrl::FollowSeekCursor);
    Load(*ctrl);
    struct Painted : QObject {
        QRegion region;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint)
                region += static_cast<QPaintEvent*>(e)->region();
            return false;
        }
    } painted;
    ctrl->installEventFilter(&painted);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    auto screenShows = [&] {
        QTest::qWait(40);
        return window.screen()
            ->grabWindow(window.winId(), ctrl->x(), ctrl->y(), ctrl->width(), ctrl->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    // One step as the playback tick makes it: the slider moves, then the
    // curve gets the play time.
    auto tick = [&](int slider1000, int ms) {
        slider->setValue(slider1000);
        ctrl->CurveState().stopped = false;
        ctrl->Redraw();
        ctrl->SetPosition(ms);
    };
    struct Step {
        const char* what;
        std::function<void()> change;
        bool smallRepaint; // the plot's far left and right stay untouched
        bool seek = false; // the cursor on the thumb, whatever the position
    } steps[] = {
        {"first tick", [&] { tick(500, 30000); }, false},
        {"forward a little", [&] { tick(510, 30600); }, true},
        {"forward again", [&] { tick(530, 31800); }, true},
        {"the same place", [&] { tick(530, 31800); }, true},
        {"back", [&] { tick(400, 24000); }, true},
        {"stopped",
         [&] {
             ctrl->SetPosition(0);
             ctrl->CurveState().stopped = true;
             ctrl->Redraw();
         },
         false},
        {"seek to the start: the cursor stays on the thumb",
         [&] {
             slider->setValue(300);
             ctrl->NoteSeek();
             ctrl->CurveState().stopped = false;
             ctrl->SetPosition(0);
         },
         false, true},
        {"plays again", [&] { tick(520, 31200); }, false},
        {"samples edited in place",
         [&] {
             ctrl->CurveState().samples[300].x = 120;
             ctrl->Redraw();
         },
         false},
    };
    for (const Step& step : steps) {
        painted.region = QRegion();
        step.change();
        const QImage shown = screenShows();
        EXPECT_EQ(shown, FreshDrawing(*ctrl, slider->SeekCursorX(), step.seek)) << step.what;
        if (step.smallRepaint) {
            for (int x : {30, 600})
                EXPECT_FALSE(painted.region.contains(QPoint(x, 70))) << step.what << " x " << x;
        }
    }
}

} // namespace
