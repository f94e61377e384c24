// The window's own surface under a real mouse, closing, and where the window
// comes back at the next start.
#include "WindowFixture.h"
#include "app/window/ControlIds.h"
#include "app/window/PlaybackLogic.h"
#include "controls/CSpeedLabelStatic.h"
#include "platform/IniFile.h"
#include "player/CVlcPlayer.h"

#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>

namespace {

class WindowMouseAndCloseTest : public WindowTest {
  protected:
    MessageBoxRecorder boxes_;
};

TEST_F(WindowMouseAndCloseTest, DoubleClickOnTheSpeedReadOutChangesItsUnitElsewhereMaximises) {
    {
        CVELDlg dlg;
        ASSERT_TRUE(ShowAndWait(dlg));
        auto* speed = static_cast<CSpeedLabelStatic*>(dlg.Control(IDC_SPEED));
        ASSERT_TRUE(speed->IsKilometres()) << "km/h without a setting";
        QWindow* window = dlg.windowHandle();

        QTest::mouseDClick(window, Qt::LeftButton, {}, At(dlg, IDC_SPEED));
        Pump();
        EXPECT_FALSE(dlg.IsMaximized()) << "the read-out's double-click is its own";
        EXPECT_EQ(speed->UnitText().toStdString(), "MPH");
        EXPECT_EQ(IniFile::ReadInt(Ini(), "UI", "SPEED_MPH", -1), 1);

        const QPoint titleStrip(150, 20);
        QTest::mouseDClick(window, Qt::LeftButton, {}, titleStrip);
        EXPECT_TRUE(WaitFor([&] { return dlg.IsMaximized(); }));
        EXPECT_EQ(speed->UnitText().toStdString(), "MPH") << "only the read-out changes the unit";
        QTest::mouseDClick(window, Qt::LeftButton, {}, titleStrip);
        EXPECT_TRUE(WaitFor([&] { return !dlg.IsMaximized(); }));
    }
    // The next start shows the unit chosen last, and changes back to km/h.
    CVELDlg dlg;
    ASSERT_TRUE(ShowAndWait(dlg));
    auto* speed = static_cast<CSpeedLabelStatic*>(dlg.Control(IDC_SPEED));
    EXPECT_EQ(speed->UnitText().toStdString(), "MPH");
    QTest::mouseDClick(dlg.windowHandle(), Qt::LeftButton, {}, At(dlg, IDC_SPEED));
    Pump();
    EXPECT_EQ(speed->UnitText().toStdString(), "Km/h");
    EXPECT_EQ(IniFile::ReadInt(Ini(), "UI", "SPEED_MPH", -1), 0);
}

// The desktop's panels are announced on the root window; a window saved
// under the top panel comes back below it, at its full size.
TEST_F(WindowMouseAndCloseTest, RestoredWindowStaysOutOfThePanels) {
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect full = screen->geometry();
    const QRect area = full.adjusted(0, 40, 0, -30);
    auto setWorkArea = [](const QRect& r) {
        return QProcess::execute(
            "xprop",
            {"-root", "-f", "_NET_WORKAREA", "32c", "-set", "_NET_WORKAREA",
             QString("%1, %2, %3, %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height())});
    };
    if (QGuiApplication::platformName() != "xcb" || setWorkArea(area) != 0)
        GTEST_SKIP() << "needs an X server and xprop";
    const bool announced = WaitFor([&] { return screen->availableGeometry() == area; }, 3000);
    IniFile::WriteString(Ini(), "WINPOS", "LEFT", "100");
    IniFile::WriteString(Ini(), "WINPOS", "TOP", "0");
    IniFile::WriteString(Ini(), "WINPOS", "RIGHT", "1000");
    IniFile::WriteString(Ini(), "WINPOS", "BOTTOM", "600");
    {
        CVELDlg dlg;
        if (announced) {
            ASSERT_TRUE(ShowAndWait(dlg));
            EXPECT_EQ(dlg.geometry(), QRect(100, 40, 900, 600));
        }
    }
    setWorkArea(full);
    WaitFor([&] { return screen->availableGeometry() == full; }, 3000);
    ASSERT_TRUE(announced) << "the work area did not reach the screen";
}

#if HALVEX_HAVE_SYNTH
TEST_F(WindowMouseAndCloseTest, ClosingStopsTheFrontPlayerBeforeSavingTheRectangle) {
    QTemporaryDir card;
    WriteCard(card.path(), 1, 20000);
    CVELDlg dlg;
    ASSERT_TRUE(ShowAndWait(dlg));
    CVlcPlayer* front = dlg.Playback()->Players().Front();
    CVlcPlayer* rear = dlg.Playback()->Players().Rear();
    if (!front->m_bAvailable)
        GTEST_SKIP() << "no libvlc";
    dlg.OpenFolder(card.path());
    ASSERT_TRUE(WaitFor([&] { return front->State() == libvlc_Playing; }));

    Click(dlg, IDC_CLOSE);
    ASSERT_TRUE(WaitFor([&] { return !dlg.isVisible(); }));
    EXPECT_FALSE(front->IsPlaying());
    EXPECT_FALSE(front->IsPaused());
    EXPECT_TRUE(front->State() == libvlc_Stopped || front->State() == libvlc_NothingSpecial)
        << front->State();
    EXPECT_TRUE(rear->IsPlaying()) << "the rear player goes with the window";
    EXPECT_EQ(IniFile::ReadInt(Ini(), "WINPOS", "LEFT", -1), dlg.geometry().left());
}
#endif

} // namespace
