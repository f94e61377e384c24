#include "map/LocalPages.h"

#include "settings/AppSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace LocalPages {
namespace {

// What the two pages load; the source tree's res/ holds the pages without
// the npm libraries, and a page without them stays white.
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

QString PageFileName(int mapChoice) {
    return mapChoice == MAP_CHINA ? QStringLiteral("BMap.html") : QStringLiteral("gmap_ja.html");
}

QStringList PageFolders() {
    QStringList folders{QDir::current().absoluteFilePath("res")};
    if (QCoreApplication::instance()) {
        const QDir programDir(QCoreApplication::applicationDirPath());
        folders << QDir::cleanPath(programDir.absoluteFilePath("../share/halvex"))
                << programDir.absoluteFilePath("res");
    }
    return folders;
}

bool HoldsCompleteSet(const QString& folder) {
    const QDir dir(folder);
    for (const char* name : kCompleteSet)
        if (!QFileInfo(dir.filePath(QLatin1String(name))).isFile())
            return false;
    return true;
}

QUrl MapPageUrl(int mapChoice) {
    const QString name = PageFileName(mapChoice);
    const QStringList folders = PageFolders();
    for (const QString& folder : folders)
        if (HoldsCompleteSet(folder))
            return QUrl::fromLocalFile(folder + "/" + name);
    for (const QString& folder : folders) {
        const QFileInfo page(folder + "/" + name);
        if (page.isFile())
            return QUrl::fromLocalFile(page.absoluteFilePath());
    }
    return QUrl::fromLocalFile(folders.front() + "/" + name);
}

bool IsOwnLocalPage(const QUrl& url) {
    if (!url.isLocalFile())
        return false;
    const QString path = QFileInfo(url.toLocalFile()).canonicalFilePath();
    if (path.isEmpty())
        return false;
    const QStringList folders = PageFolders();
    for (const QString& folder : folders) {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (!canonical.isEmpty() && path.startsWith(canonical + "/"))
            return true;
    }
    return false;
}

} // namespace LocalPages
