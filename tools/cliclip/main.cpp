// halvex-clip: the clip command of halvex-cli, a program of its own so that
// the clip engine's libraries (libav*, Qt Gui) load only for a clip.
// `halvex-cli clip ARGS` runs it in its own place with ARGS.
#include "CliClip.h"

#include "settings/AppSettings.h"
#include "settings/SettingsPlace.h"
#include "tools/cli/CliArgs.h"
#include "tools/cli/CliCommands.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstring>
#include <memory>

int main(int argc, char** argv) {
    CliArgs::KeepRawArguments(argc, argv);
    // The clip's figures are drawn with QPainter, which needs fonts from a
    // GUI application; offscreen, so no display is needed. A clip without
    // figures is spared its start-up.
    bool figures = false;
    for (int i = 1; i < argc; ++i)
        figures = figures || std::strncmp(argv[i], "--overlay", 9) == 0;
    std::unique_ptr<QCoreApplication> application;
    if (figures) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    // The name halvex-cli's settings and messages go by.
    QCoreApplication::setApplicationName("halvex-cli");
    // Beside halvex-cli, so it finds the settings file halvex-cli would.
    AppSettings::PlaceInstance(SettingsPlace::SettingsFolder());

    const int code = CliClip::Run(QCoreApplication::arguments().mid(1), stdout);
    return CliCommands::Finish(code);
}
