// All the skinned controls together in one real window, as the screen shows
// them. With HALVEX_SCREENSHOT=<file.png> the window is also saved there.
#include "ControlEvents.h"
#include "controls/CGdipButton.h"
#include "controls/CKesToolTipCtrl.h"
#include "controls/CMySliderControl.h"
#include "controls/CPbSpeedLabelStatic.h"
#include "controls/CPngCompassStatic.h"
#include "controls/CPngStatic.h"
#include "controls/CSpeedLabelStatic.h"
#include "controls/CVideoSlider.h"
#include "controls/CVideoStatic.h"
#include "controls/CVideoStaticBg.h"
#include "controls/DrawGlowText.h"

#include <QHelpEvent>
#include <QScreen>
#include <gtest/gtest.h>

namespace {

class GalleryWindow : public RecordingParent {
  protected:
    void paintEvent(QPaintEvent* e) override {
        RecordingParent::paintEvent(e);
        QPainter p(this);
        DrawGlowText(p, QStringLiteral("Ostrel-Halvex Zarn"), {}, 18, GlowTextStyle::Title);
    }
};

CGdipButton* AddButton(QWidget* parent, QRect r, unsigned id, unsigned alt = 0) {
    auto* b = new CGdipButton(parent);
    b->setGeometry(r);
    EXPECT_TRUE(b->LoadStdImage(id)) << id;
    if (alt) {
        EXPECT_TRUE(b->LoadAltImage(alt)) << alt;
        b->EnableToggle(true);
    }
    return b;
}

TEST(ControlGallery, EveryControlReachesTheScreen) {
    GalleryWindow w;
    w.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    const int cx = 800, cy = 440;
    w.setGeometry(0, 0, cx, cy);

    auto* logo = new CPngStatic(&w);
    logo->setGeometry(8, 4, 40, 40);
    logo->SetPicture(157);
    logo->SetColor(true);
    auto* gps = new CPngStatic(&w);
    gps->setGeometry(285, 8, 28, 26);
    gps->SetPicture(150);
    gps->SetColor(true);
    auto* compass = new CPngCompassStatic(&w);
    compass->setGeometry(320, 5, 32, 32);
    for (unsigned id = 167; id <= 174; ++id)
        compass->AddImage(id);
    compass->SetHeading(60);
    auto* speed = new CSpeedLabelStatic(&w);
    speed->setGeometry(376, 3, 81, 32);
    speed->SetSpeed(87);
    speed->UpdateText();
    auto* rate = new CPbSpeedLabelStatic(&w);
    rate->setGeometry(468, 3, 60, 31);
    rate->SetText("2.0 X", true);

    AddButton(&w, {cx - 199, 11, 16, 16}, 1045);
    AddButton(&w, {cx - 179, 11, 16, 16}, 187);
    AddButton(&w, {cx - 159, 11, 16, 16}, 188);
    AddButton(&w, {cx - 113, 2, 25, 25}, 154);
    AddButton(&w, {cx - 86, 2, 25, 25}, 153);
    AddButton(&w, {cx - 59, 2, 25, 25}, 152);
    AddButton(&w, {cx - 32, 2, 25, 25}, 151);

    const int half = 395, vb = 300;
    auto* frontFrame = new CVideoStaticBg(&w);
    frontFrame->setGeometry(5, 48, half - 10, vb - 48);
    auto* front = new CVideoStatic(&w);
    front->setGeometry(7, 50, half - 14, vb - 52);
    front->SetCounterShown(true);
    front->ShowScanCount(42);
    auto* rear = new CVideoStatic(&w);
    rear->setGeometry(half + 2, 50, half - 14, vb - 52);
    auto* slider = new CVideoSlider(&w);
    slider->setGeometry(5, vb, 2 * half - 10, 20);
    slider->setRange(0, 1000);
    slider->setValue(380);

    AddButton(&w, {8, cy - 44, 48, 36}, 139);
    AddButton(&w, {56, cy - 44, 48, 36}, 140);
    AddButton(&w, {104, cy - 44, 48, 36}, 141);
    AddButton(&w, {152, cy - 44, 48, 36}, 142);
    AddButton(&w, {220, cy - 48, 40, 40}, 137);
    AddButton(&w, {261, cy - 48, 40, 40}, 133);
    CGdipButton* play = AddButton(&w, {302, cy - 56, 48, 48}, 129, 132);
    AddButton(&w, {351, cy - 48, 40, 40}, 136);
    AddButton(&w, {402, cy - 40, 12, 24}, 156, 155);
    auto* volume = new CMySliderControl(&w);
    volume->setGeometry(416, cy - 36, 80, 20);
    volume->setRange(0, 100);
    volume->setValue(50);
    const unsigned right[][2] = {{143, 176}, {145, 0}, {146, 0}, {147, 0}, {201, 148}};
    for (int k = 0; k < 5; ++k)
        AddButton(&w, {cx - 195 + 34 * k, cy - 40, 32, 32}, right[k][0], right[k][1]);
    CGdipButton* lock = w.findChildren<CGdipButton*>().back();
    lock->SetImageState(1);

    auto* tip = new CKesToolTipCtrl(&w);
    tip->AddTool(play, QStringLiteral("Play/Pause video"), QRect(), 1015);
    tip->AddIconEntry(1015, 0, 161);

    w.show();
    ASSERT_TRUE(WaitFor([&] { return w.isVisible() && front->isVisible(); }));
    Idle(300);
    QHelpEvent help(QEvent::ToolTip, QPoint(24, 24), play->mapToGlobal(QPoint(24, 24)));
    QApplication::sendEvent(play, &help);
    ASSERT_TRUE(WaitFor([&] { return tip->isVisible(); }));
    Idle(300);

    QScreen* screen = w.screen();
    ASSERT_NE(screen, nullptr);
    // What each control must have put on the screen; the list names the
    // controls that have not (yet: a loaded machine paints late).
    auto missing = [&](const QImage& shot) {
        QStringList absent;
        auto onScreen = [&](QWidget* c, QPoint p) { return shot.pixelColor(c->mapTo(&w, p)); };
        // The play button's accent triangle.
        const QColor triangle = onScreen(play, {24, 24});
        if (triangle.blue() <= triangle.red() + 100)
            absent << "play triangle";
        // The scan counter glows blue in the front surface's own X window;
        // the rear surface stays plain dark.
        int glow = 0;
        for (int x = 15; x < 150; ++x)
            for (int y = 15; y < 90; ++y) {
                const QColor c = onScreen(front, {x, y});
                glow += c.blue() > c.red() + 60;
            }
        if (glow <= 200)
            absent << QStringLiteral("scan counter glow (%1 pixels)").arg(glow);
        if (onScreen(rear, {50, 50}) != QColor(5, 5, 5))
            absent << "dark rear surface";
        // The position thumb, the volume thumb and the tip's check icon.
        if (onScreen(slider, slider->ThumbRect().center()) != QColor(100, 250, 100))
            absent << "position thumb";
        if (onScreen(volume, volume->ThumbRect().center()) != QColor(255, 0, 0))
            absent << "volume thumb";
        const QColor check =
            shot.pixelColor(tip->geometry().topLeft() + tip->IconRect().topLeft() + QPoint(8, 16));
        if (check.green() <= check.red() + 60)
            absent << "tool-tip check icon";
        return absent;
    };
    QImage shot;
    WaitFor(
        [&] {
            shot = screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
            return missing(shot).isEmpty();
        },
        5000);
    ASSERT_FALSE(shot.isNull());
    if (const QByteArray path = qgetenv("HALVEX_SCREENSHOT"); !path.isEmpty())
        shot.copy(0, 0, cx + 40, cy + 60).save(QString::fromLocal8Bit(path));
    EXPECT_EQ(missing(shot).join(", ").toStdString(), "");
}

} // namespace
