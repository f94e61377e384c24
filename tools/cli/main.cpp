// halvex-cli: scan folders, read recordings and export routes from a shell.
#include "CliArgs.h"
#include "CliCommands.h"
#ifdef HALVEX_CLI_CLIP
#include "ClipProgram.h"
#endif
#include "settings/AppSettings.h"
#include "settings/SettingsPlace.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
#ifdef HALVEX_CLI_CLIP
    if (argc > 1 && std::strcmp(argv[1], "clip") == 0)
        return ClipProgram::Exec(argc, argv);
#endif
    CliArgs::KeepRawArguments(argc, argv);
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName("halvex-cli");

    CliCommands::SetOutput(stdout);
    // The settings file the viewer would use when started the same way:
    // language, units and privacy zones agree with it.
    AppSettings::PlaceInstance(SettingsPlace::SettingsFolder());

    const int code = CliCommands::Run(QCoreApplication::arguments().mid(1));
    std::fflush(nullptr);
    return code;
}
