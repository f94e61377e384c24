// What the video surfaces show on screen: the scan counter while a folder is
// scanned, and an empty rear picture once a recording without rear partner
// follows one with it.
#if HALVEX_HAVE_SYNTH
#include "WindowFixture.h"
#include "app/window/ControlIds.h"
#include "app/window/PlaybackLogic.h"
#include "controls/CVideoStatic.h"
#include "player/CVlcPlayer.h"

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>

namespace {

class VideoSurfacePicturesTest : public WindowTest {
  protected:
    MessageBoxRecorder boxes_;
};

// What the X server holds for a surface's native window: what is on screen.
QImage OnScreen(QWidget* surface) {
    return QGuiApplication::primaryScreen()
        ->grabWindow(surface->winId())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// The share of the pixels on screen that are the surfaces' background,
// RGB(5, 5, 5).
double BackgroundShare(QWidget* surface) {
    const QImage shot = OnScreen(surface);
    if (shot.isNull())
        return 0;
    qint64 background = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            background += shot.pixel(x, y) == qRgb(5, 5, 5);
    return double(background) / (double(shot.width()) * shot.height());
}

// Pixels of the blue glowing digits.
int GlowPixels(const QImage& shot) {
    int glow = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            glow += c.blue() > 150 && c.blue() > c.red() + 40;
        }
    return glow;
}

// Notes each new count painted, and whether the count painted before it
// reached the screen.
class CounterPaints : public QObject {
  public:
    std::vector<int> counts;
    int glowingOnScreen = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* surface = static_cast<CVideoStatic*>(watched);
        if (event->type() != QEvent::Paint || !surface->IsCounterShown() ||
            (!counts.empty() && counts.back() == surface->Counter()))
            return false;
        if (!counts.empty())
            glowingOnScreen += GlowPixels(OnScreen(surface)) > 300;
        counts.push_back(surface->Counter());
        return false;
    }
};

TEST_F(VideoSurfacePicturesTest, ScanCountsOnTheFrontSurfaceAtTheFirstOpen) {
    QTemporaryDir card;
    WriteCard(card.path(), 2, 2000);
    CVELDlg dlg;
    ASSERT_TRUE(ShowAndWait(dlg));
    QWidget* front = dlg.Control(IDC_FRONT_VIDEO);
    ASSERT_FALSE(front->isVisible()) << "nothing plays yet";
    CounterPaints paints;
    front->installEventFilter(&paints);
    dlg.OpenFolder(card.path());
    front->removeEventFilter(&paints);
    ASSERT_EQ(dlg.Catalog().Files().size(), 4u);
    ASSERT_GE(paints.counts.size(), 4u) << "the count was never painted";
    for (size_t i = 0; i < paints.counts.size(); ++i)
        EXPECT_EQ(paints.counts[i], int(i));
    EXPECT_EQ(paints.glowingOnScreen, int(paints.counts.size()) - 1) << "counts not on screen";
}

TEST_F(VideoSurfacePicturesTest, RecordingWithoutRearPartnerEmptiesTheRearPicture) {
    // The second "F" in the path rules out the other camera's naming, which
    // would play the front file in the rear player too.
    QTemporaryDir scratch;
    const QString root = scratch.path() + "/CardF";
    WriteCard(root, 1, 1500);
    WriteCard(root, 1, 20000, false, "testsrc2", 12);
    CVELDlg dlg;
    ASSERT_TRUE(ShowAndWait(dlg));
    CVlcPlayer* rear = dlg.Playback()->Players().Rear();
    if (!rear->m_bAvailable)
        GTEST_SKIP() << "no libvlc";
    QWidget* surface = dlg.Control(IDC_REAR_VIDEO);
    dlg.OpenFolder(root);
    ASSERT_EQ(dlg.Catalog().Files().size(), 3u);
    ASSERT_TRUE(WaitFor([&] { return rear->State() == libvlc_Playing && rear->GetTime() > 500; }));
    EXPECT_LT(BackgroundShare(surface), 0.5) << "the rear video is on screen";

    // Loop is on: the pair ends and the front file alone follows.
    CVlcPlayer* front = dlg.Playback()->Players().Front();
    ASSERT_TRUE(WaitFor(
        [&] {
            return QString::fromUtf8(front->MediaPath()).contains("FILE0120") && !rear->HasMedia();
        },
        10000))
        << front->MediaPath().constData() << " " << rear->MediaPath().constData() << " "
        << dlg.Catalog().currentFile();
    Pump(500);
    EXPECT_TRUE(surface->isVisible());
    EXPECT_GT(BackgroundShare(surface), 0.99) << "the last rear frame stays on screen";
}

} // namespace
#endif
