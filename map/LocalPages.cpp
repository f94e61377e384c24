#include "map/LocalPages.h"

#include "settings/AppSettings.h"
#include "settings/SettingsPlace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace LocalPages {
namespace {

// Whether the path is the directory itself or lies below it.
bool Inside(const QString& path, const QString& directory) {
    return !path.isEmpty() && !directory.isEmpty() &&
           (path == directory || path.startsWith(directory + "/"));
}

} // namespace

QString PageFileName(int mapChoice) {
    return mapChoice == MAP_CHINA ? QStringLiteral("BMap.html") : QStringLiteral("gmap_ja.html");
}

QStringList PageFolders() {
    QStringList folders;
    if (!QCoreApplication::instance())
        return folders;
    const QString programDir = QCoreApplication::applicationDirPath();
    folders << QDir::cleanPath(programDir + "/../share/halvex");
#ifdef HALVEX_BUILD_TREE
    // Only a program that lies inside the tree it was built in.
    const QString tree = QFileInfo(QStringLiteral(HALVEX_BUILD_TREE)).canonicalFilePath();
    if (Inside(QFileInfo(programDir).canonicalFilePath(), tree))
        folders << tree + "/res";
#endif
    return folders;
}

bool HoldsCompleteSet(const QString& folder) {
    return SettingsPlace::HoldsCompletePageSet(folder);
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
    return QUrl::fromLocalFile((folders.isEmpty() ? QString() : folders.front()) + "/" + name);
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

bool SameDocument(const QUrl& a, const QUrl& b) {
    return a.adjusted(QUrl::RemoveFragment | QUrl::NormalizePathSegments) ==
           b.adjusted(QUrl::RemoveFragment | QUrl::NormalizePathSegments);
}

} // namespace LocalPages
