#include "app/CVELApp.h"

#include "app/CVELDlg.h"

#include <QApplication>
#include <memory>

CVELApp::~CVELApp() = default;

int CVELApp::Run(int argc, char** argv) {
    // libvlc draws into native X windows, so the viewer runs on xcb (XWayland
    // under a Wayland session).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QApplication::setApplicationName("Halvex");
    QApplication::setOrganizationName("Halvex Ostrel Zarn");

    auto dialog = std::make_unique<CVELDlg>();
    dialog->exec();
    dialog.reset();
    return 0;
}
