#include "app/start/ViewerCommandLine.h"

namespace ViewerCommandLine {

Parsed Parse(const QStringList& arguments) {
    Parsed parsed;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == "--webEngineArgs")
            break;
        if (arg == "--help" || arg == "-h")
            return {Parsed::Help, {}, {}};
        if (arg == "--version")
            return {Parsed::Version, {}, {}};
        if (parsed.kind == Parsed::Error)
            continue; // --help or --version later on still answer
        if (arg == "--verbose") {
            parsed.verbose = true;
        } else if (arg.startsWith('-')) {
            parsed = {Parsed::Error, {}, QString("unknown option '%1'").arg(arg)};
        } else if (!parsed.folder.isEmpty()) {
            parsed = {Parsed::Error, {}, QString("more than one folder: '%1'").arg(arg)};
        } else {
            parsed.folder = arg;
        }
    }
    return parsed;
}

bool AsksVerbose(const QStringList& arguments) {
    for (int i = 1; i < arguments.size() && arguments[i] != "--webEngineArgs"; ++i)
        if (arguments[i] == "--verbose")
            return true;
    return false;
}

QString Usage(const QString& program) {
    return QString("Usage: %1 [FOLDER]\n"
                   "\n"
                   "Plays the front and rear recordings of a dash camera side by side, with\n"
                   "the route on a map, speed, heading and the G-sensor curve. FOLDER (a\n"
                   "memory card or any folder below it) is opened at start.\n"
                   "\n"
                   "      --verbose  also print the program's diagnostics and the messages\n"
                   "                 of libvlc and the browser engine\n"
                   "  -h, --help     show this help and exit\n"
                   "      --version  show the version and exit\n"
                   "\n"
                   "Settings are kept in Halvex.ini in the working directory; an installed\n"
                   "program works in $XDG_CONFIG_HOME/halvex (~/.config/halvex).\n"
                   "Qt's own options (-style, -platform, ...) are accepted; browser options\n"
                   "follow --webEngineArgs.\n")
        .arg(program);
}

QString VersionText(const QString& version) {
    return QString("halvex %1\n").arg(version);
}

} // namespace ViewerCommandLine
