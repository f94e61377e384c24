// The sound button as the screen shows it when M is pressed at the window,
// with the pointer far from the button.
#include "MainWindowCard.h"
#include "PlaybackHarness.h"
#include "app/window/ControlIds.h"
#include "controls/CGdipButton.h"

#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class MuteKeyPictureTest : public ShownWindowTest {
  public:
    CGdipButton* Vol() const { return static_cast<CGdipButton*>(dlg_->Control(IDC_VOL)); }
    // The button's pixels on the X screen.
    QImage OnScreen() const {
        const QPoint at = Vol()->mapToGlobal(QPoint(0, 0));
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, at.x(), at.y(), Vol()->width(), Vol()->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
};

TEST_F(MuteKeyPictureTest, MChangesThePictureAtOnce) {
    QCursor::setPos(dlg_->mapToGlobal(QPoint(dlg_->width() / 2, dlg_->height() / 2)));
    Pump(300);
    const QImage first = OnScreen();
    const int firstState = Vol()->ImageState();
    for (int press = 1; press <= 2; ++press) {
        QTest::keyClick(dlg_->windowHandle(), Qt::Key_M);
        const bool changed = press % 2 == 1;
        EXPECT_EQ(Vol()->ImageState() != firstState, changed) << press;
        EXPECT_TRUE(WaitUntil([&] { return (OnScreen() != first) == changed; }, 1500)) << press;
    }
}

} // namespace
