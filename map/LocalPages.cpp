#include "map/LocalPages.h"

#include "app/AppSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace LocalPages {
namespace {

QStringList ResFolders() {
    QStringList folders{QDir::current().absoluteFilePath("res")};
    if (QCoreApplication::instance())
        folders << QDir(QCoreApplication::applicationDirPath()).absoluteFilePath("res");
    return folders;
}

} // namespace

QString PageFileName(int mapChoice) {
    return mapChoice == MAP_CHINA ? QStringLiteral("BMap.html") : QStringLiteral("gmap_ja.html");
}

QUrl MapPageUrl(int mapChoice) {
    const QString name = PageFileName(mapChoice);
    const QStringList folders = ResFolders();
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
    const QStringList folders = ResFolders();
    for (const QString& folder : folders) {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (!canonical.isEmpty() && path.startsWith(canonical + "/"))
            return true;
    }
    return false;
}

} // namespace LocalPages
