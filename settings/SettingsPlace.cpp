#include "settings/SettingsPlace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace SettingsPlace {
namespace {

// What the two map pages load; the source tree's res/ holds the pages
// without the npm libraries, and a page without them stays white.
const char* const kCompleteSet[] = {
    "gmap_ja.html",
    "BMap.html",
    "gmaps-standin.js",
    "bmap-standin.js",
    "leaflet/leaflet.js",
    "leaflet/leaflet.css",
    "gcoord/gcoord.global.prod.js",
    "190",
};

} // namespace

bool HoldsCompletePageSet(const QString& folder) {
    const QDir dir(folder);
    for (const char* name : kCompleteSet)
        if (!QFileInfo(dir.filePath(QLatin1String(name))).isFile())
            return false;
    return true;
}

bool IsInstalledProgram() {
    if (!QCoreApplication::instance())
        return false;
    const QDir programDir(QCoreApplication::applicationDirPath());
    return programDir.dirName() == "bin" &&
           HoldsCompletePageSet(programDir.absoluteFilePath("../share/halvex"));
}

QString ConfigFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/halvex";
}

QString SettingsFolder() {
    return IsInstalledProgram() ? ConfigFolder() : QDir::currentPath();
}

} // namespace SettingsPlace
