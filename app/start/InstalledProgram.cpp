#include "app/start/InstalledProgram.h"

#include "settings/SettingsPlace.h"

#include <QDir>
#include <QFileInfo>

namespace InstalledProgram {

bool IsInstalled() {
    return SettingsPlace::IsInstalledProgram();
}

QString ConfigFolder() {
    return SettingsPlace::ConfigFolder();
}

bool EnterConfigFolder(QString* folder) {
    if (!folder->isEmpty())
        *folder = QFileInfo(*folder).absoluteFilePath();
    const QString config = ConfigFolder();
    return QDir().mkpath(config) && QDir::setCurrent(config);
}

} // namespace InstalledProgram
