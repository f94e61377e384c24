#include "app/start/CVELApp.h"

#include "app/commands/OpenCommand.h"
#include "app/start/InstalledProgram.h"
#include "app/start/TerminalOutput.h"
#include "app/start/ViewerCommandLine.h"
#include "app/window/CVELDlg.h"
#include "map/CCefClientApp.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <malloc.h>
#include <memory>

CVELApp::~CVELApp() = default;

int CVELApp::Run(int argc, char** argv) {
    // libvlc starts fresh decoder threads for every file; with glibc's
    // default of one malloc arena per thread the freed memory of each stays
    // resident and the process grows by tens of megabytes per file.
    mallopt(M_ARENA_MAX, 2);
    // libvlc draws into native X windows, so the viewer runs on xcb (XWayland
    // under a Wayland session).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    // Only the video surfaces need native windows; native siblings would be
    // painted black inside the window the map's GL view composes.
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    QStringList rawArguments;
    for (int i = 0; i < argc; ++i)
        rawArguments << QString::fromLocal8Bit(argv[i]);
    TerminalOutput::PrepareBrowser(ViewerCommandLine::AsksVerbose(rawArguments));
    QApplication app(argc, argv);
    QApplication::setApplicationName("Halvex");
    QApplication::setOrganizationName("Halvex Ostrel Zarn");
    QApplication::setWindowIcon(QIcon(":/ICON/128"));

    // Qt has taken its own options out of the arguments by now.
    const ViewerCommandLine::Parsed parsed = ViewerCommandLine::Parse(QApplication::arguments());
    if (parsed.kind == ViewerCommandLine::Parsed::Error) {
        std::fprintf(stderr, "halvex: %s\nTry 'halvex --help'.\n", qPrintable(parsed.error));
        return 2;
    }
    TerminalOutput::SetLoggingRules(parsed.verbose);
    QString folder = parsed.folder;
    // Before the settings file is first used, which fixes its folder.
    if (InstalledProgram::IsInstalled() && !InstalledProgram::EnterConfigFolder(&folder))
        std::fprintf(stderr, "halvex: cannot use %s; settings stay in the working directory\n",
                     qPrintable(InstalledProgram::ConfigFolder()));
    folder = OpenCommand::FolderAtStart(folder);

    auto dialog = std::make_unique<CVELDlg>();
    if (!folder.isEmpty())
        QTimer::singleShot(0, dialog.get(), [d = dialog.get(), folder] { d->OpenFolder(folder); });
    dialog->exec();
    dialog.reset();
    ShutdownBrowser();
    return 0;
}
