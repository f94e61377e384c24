#include "HalvexVersion.h"
#include "app/start/CVELApp.h"
#include "app/start/ViewerCommandLine.h"

#include <QStringList>
#include <cstdio>

int main(int argc, char** argv) {
    // Help and version need no display, so they are answered before Qt starts.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const ViewerCommandLine::Parsed parsed = ViewerCommandLine::Parse(arguments);
    if (parsed.kind == ViewerCommandLine::Parsed::Help) {
        std::fputs(ViewerCommandLine::Usage("halvex").toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (parsed.kind == ViewerCommandLine::Parsed::Version) {
        std::fputs(ViewerCommandLine::VersionText(HALVEX_VERSION).toLocal8Bit().constData(),
                   stdout);
        return 0;
    }
    CVELApp app;
    return app.Run(argc, argv);
}
