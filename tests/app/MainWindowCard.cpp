#include "MainWindowCard.h"

#include <QDir>
#include <QTest>
#include <QWidget>
#if HALVEX_HAVE_SYNTH
#include "tools/synth/CameraNaming.h"
#include "tools/synth/RecordingWriter.h"
#endif

QStringList WriteCard(const QString& root, int moments, int durationMs, QString* error) {
    QStringList fronts;
#if HALVEX_HAVE_SYNTH
    for (int i = 0; i < moments; ++i) {
        synth::RecordingRecipe recipe;
        recipe.durationMs = durationMs;
        recipe.start = recipe.start.addSecs(60 * i);
        const synth::CameraPair names =
            synth::CameraNames(synth::Naming::Chunk, "DCIM", "FILE", 10 + 2 * i);
        for (const QString& name : {names.front, names.rear})
            if (!synth::WriteRecording(recipe, QDir(root).filePath(name), error))
                return {};
        fronts << QDir(root).filePath(names.front);
    }
#else
    (void)root, (void)moments, (void)durationMs;
    *error = "built without the synthesizer";
#endif
    return fronts;
}

bool ShowActive(QWidget& window) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}
