// The mouse wheel over the sliders, delivered to the top-level window at the
// slider's position: the volume follows the thumb, the position seeks.
#include "WindowFixture.h"
#include "app/window/ControlIds.h"
#include "app/window/PlaybackLogic.h"
#include "controls/CVideoSlider.h"
#include "player/CVlcPlayer.h"

#include <QSlider>
#include <QTemporaryDir>
#include <QWheelEvent>

namespace {

class SliderScrollTest : public WindowTest {
  protected:
    // One notch of the wheel, rolled away from the user, over `id`.
    static void Wheel(CVELDlg& dlg, int id, int notches = 1) {
        const QPointF at = At(dlg, id);
        for (int i = 0; i < notches; ++i) {
            QWheelEvent wheel(at, dlg.mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(dlg.windowHandle(), &wheel);
        }
    }
    MessageBoxRecorder boxes_;
};

TEST_F(SliderScrollTest, WheelOnTheVolumeSliderSetsTheVolume) {
    CVELDlg dlg;
    ASSERT_TRUE(ShowAndWait(dlg));
    CVlcPlayer* front = dlg.Playback()->Players().Front();
    if (!front->m_bAvailable)
        GTEST_SKIP() << "no libvlc";
    auto* volume = static_cast<QSlider*>(dlg.Control(IDC_VOLUME_SLIDER));
    ASSERT_EQ(volume->value(), 50);
    Wheel(dlg, IDC_VOLUME_SLIDER);
    EXPECT_GT(volume->value(), 50);
    EXPECT_EQ(front->m_nVolume, 2 * volume->value());
    Wheel(dlg, IDC_VOLUME_SLIDER, 40);
    EXPECT_EQ(volume->value(), 100);
    EXPECT_EQ(front->m_nVolume, 200);
}

#if HALVEX_HAVE_SYNTH
TEST_F(SliderScrollTest, WheelOnThePositionSliderSeeksThePlayingRecording) {
    QTemporaryDir card;
    WriteCard(card.path(), 1, 20000);
    CVELDlg dlg;
    ASSERT_TRUE(ShowAndWait(dlg));
    CVlcPlayer* front = dlg.Playback()->Players().Front();
    if (!front->m_bAvailable)
        GTEST_SKIP() << "no libvlc";
    dlg.OpenFolder(card.path());
    ASSERT_TRUE(WaitFor([&] { return front->State() == libvlc_Playing && front->GetTime() > 0; }));
    const int64_t before = front->GetTime();
    ASSERT_LT(before, 4000);

    auto* position = static_cast<CVideoSlider*>(dlg.Control(IDC_POSITION_SLIDER));
    Wheel(dlg, IDC_POSITION_SLIDER, 150);
    const int64_t length = front->GetLength();
    const int p = position->value() - position->SeekMinimum();
    const int64_t target = length / position->SeekSpan() * p;
    ASSERT_GT(target, before + 5000) << "the thumb moved well ahead";
    EXPECT_EQ(dlg.Playback()->controller.m_nPendingSeekMs.load(), target);
    // The pending seek is applied within half a second.
    EXPECT_TRUE(WaitFor([&] { return front->GetTime() >= target - 500; }, 3000))
        << front->GetTime() << " of " << target;
}
#endif

} // namespace
