#include "app/start/InstalledProgram.h"

#include "map/LocalPages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace InstalledProgram {

bool IsInstalled() {
    const QDir programDir(QCoreApplication::applicationDirPath());
    return programDir.dirName() == "bin" &&
           LocalPages::HoldsCompleteSet(programDir.absoluteFilePath("../share/halvex"));
}

QString ConfigFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/halvex";
}

bool EnterConfigFolder(QString* folder) {
    if (!folder->isEmpty())
        *folder = QFileInfo(*folder).absoluteFilePath();
    const QString config = ConfigFolder();
    return QDir().mkpath(config) && QDir::setCurrent(config);
}

} // namespace InstalledProgram
