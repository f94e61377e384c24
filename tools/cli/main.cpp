// halvex-cli: scan folders, read recordings and export routes from a shell.
#include "CliArgs.h"
#include "CliCommands.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstring>
#include <memory>
#ifdef HALVEX_CLI_CLIP
#include <QGuiApplication>
#endif

int main(int argc, char** argv) {
    CliArgs::KeepRawArguments(argc, argv);
    std::unique_ptr<QCoreApplication> application;
#ifdef HALVEX_CLI_CLIP
    // The clip's figures are drawn with QPainter, which needs fonts from a
    // GUI application; offscreen, so no display is needed. A clip without
    // figures is spared its start-up.
    bool figures = false;
    for (int i = 2; i < argc; ++i)
        figures = figures || std::strncmp(argv[i], "--overlay", 9) == 0;
    if (argc > 1 && std::strcmp(argv[1], "clip") == 0 && figures) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
    }
#endif
    if (!application)
        application = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName("halvex-cli");

    CliCommands::SetOutput(stdout);

    const int code = CliCommands::Run(QCoreApplication::arguments().mid(1));
    std::fflush(nullptr);
    return code;
}
