#include "overview/OverviewPage.h"

#include "map/LocalPages.h"
#include "overview/OverviewBridge.h"
#include "platform/LogCategories.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QWebChannel>

OverviewPage::OverviewPage(QWebEngineProfile* profile, OverviewBridge* bridge, QObject* parent)
    : QWebEnginePage(profile, parent), channel_(new QWebChannel(this)) {
    // The page reaches it through the profile's bridge script
    // (app.channelObject), this window's and nothing else.
    channel_->registerObject(QString::fromLatin1(OverviewBridge::kChannelName), bridge);
    setWebChannel(channel_);
}

QUrl OverviewPage::PageUrl() {
    const QStringList folders = LocalPages::PageFolders();
    for (const QString& folder : folders)
        if (QFileInfo(folder + "/overview.html").isFile() &&
            QFileInfo(folder + "/overview.js").isFile() &&
            QFileInfo(folder + "/leaflet/leaflet.js").isFile())
            return QUrl::fromLocalFile(folder + "/overview.html");
    return QUrl::fromLocalFile((folders.isEmpty() ? QString() : folders.front()) +
                               "/overview.html");
}

bool OverviewPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    if (!isMainFrame)
        return true;
    // Only the overview page itself; a followed link (the tiles'
    // attribution) opens in the user's browser.
    if (LocalPages::SameDocument(url, PageUrl()) && LocalPages::IsOwnLocalPage(url))
        return true;
    if (type == NavigationTypeLinkClicked && (url.scheme() == "https" || url.scheme() == "http"))
        QDesktopServices::openUrl(url);
    return false;
}

void OverviewPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level,
                                            const QString& message, int lineNumber,
                                            const QString& sourceId) {
    static const char* const kLevels[] = {"info", "warning", "error"};
    qCDebug(lcPage).noquote() << kLevels[qBound(0, int(level), 2)]
                              << sourceId + ":" + QString::number(lineNumber) << message;
}
