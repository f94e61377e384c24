#pragma once
// The real main window in a scratch working directory, driven as a user
// drives it: through its top-level window, at the controls' positions.
#include "app/window/CVELDlg.h"
#include "platform/widgets/MessageBox.h"
#include "tests/support/core/ScratchSettings.h"
#if HALVEX_HAVE_SYNTH
#include "tools/synth/CameraNaming.h"
#include "tools/synth/RecordingWriter.h"
#endif

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

class WindowTest : public ScratchSettingsTest {
  protected:
    static void Pump(int ms = 50) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    template <class Done> static bool WaitFor(Done done, int ms = 8000) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }
    static bool ShowAndWait(CVELDlg& dlg) {
        dlg.show();
        if (!WaitFor([&] {
                return dlg.isVisible() && dlg.windowHandle() && dlg.windowHandle()->isExposed() &&
                       dlg.width() > 0;
            }))
            return false;
        Pump();
        return true;
    }
    // A point inside `control`, in the top-level window's coordinates.
    static QPoint At(const CVELDlg& dlg, int id, QPoint offset = QPoint(-1, -1)) {
        const QWidget* w = dlg.Control(id);
        const QPoint inside = offset.x() < 0 ? w->rect().center() : offset;
        return w->mapTo(&dlg, inside);
    }
    static void Click(CVELDlg& dlg, int id) {
        QTest::mouseClick(dlg.windowHandle(), Qt::LeftButton, {}, At(dlg, id));
        Pump();
    }

#if HALVEX_HAVE_SYNTH
    // Front and rear files of moments 10, 12, ... in `root` (chunk naming,
    // 640 x 360 pictures of the given pattern); `rear` false leaves the
    // rear files out.
    static void WriteCard(const QString& root, int moments, int durationMs, bool rear = true,
                          const QString& pattern = "testsrc2", int firstSequence = 10) {
        for (int i = 0; i < moments; ++i) {
            const synth::CameraPair names =
                synth::CameraNames(synth::Naming::Chunk, "DCIM", "FILE", firstSequence + 2 * i);
            synth::RecordingRecipe recipe;
            recipe.durationMs = durationMs;
            recipe.frameSize = QSize(640, 360);
            recipe.pattern = pattern;
            recipe.start = recipe.start.addSecs(30 * (firstSequence + 2 * i));
            QString error;
            ASSERT_TRUE(synth::WriteRecording(recipe, root + "/" + names.front, &error))
                << error.toStdString();
            if (rear) {
                ASSERT_TRUE(synth::WriteRecording(recipe, root + "/" + names.rear, &error))
                    << error.toStdString();
            }
        }
    }
#endif
};
