#include "app/start/TerminalOutput.h"

#include <QByteArray>
#include <QLoggingCategory>

namespace TerminalOutput {

void PrepareBrowser(bool verbose) {
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    // Chromium's warnings and errors only; a level the user set stays.
    if (verbose || flags.contains("--log-level"))
        return;
    flags = (flags + " --log-level=1").trimmed();
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

void SetLoggingRules(bool verbose) {
    // qt.webenginecontext is the engine's dump of its set-up and switches.
    QLoggingCategory::setFilterRules(verbose ? QStringLiteral("halvex.*=true\n"
                                                              "qt.webenginecontext.info=true")
                                             : QStringLiteral("qt.webenginecontext.info=false"));
}

} // namespace TerminalOutput
