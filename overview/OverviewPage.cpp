#include "overview/OverviewPage.h"

#include "map/BridgeScript.h"
#include "map/LocalPages.h"
#include "platform/LogCategories.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QWebChannel>

OverviewPage::OverviewPage(QWebEngineProfile* profile, Handler handler, QObject* parent)
    : QWebEnginePage(profile, parent), channel_(new QWebChannel(this)) {
    // Published under the name the profile's bridge script looks for, so the
    // page's app.jsInvokeCPlusPlus reaches this window and nothing else.
    channel_->registerObject(QString::fromLatin1(kBridgeHandlerName),
                             new OverviewBridge(std::move(handler), this));
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

QString OverviewPage::Parsed(const QByteArray& json) {
    const QString text = QString::fromUtf8(json);
    QString quoted;
    quoted.reserve(text.size() + 16);
    quoted += QStringLiteral("JSON.parse('");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            quoted += QStringLiteral("\\\\");
            break;
        case '\'':
            quoted += QStringLiteral("\\'");
            break;
        case '\n':
            quoted += QStringLiteral("\\n");
            break;
        case '\r':
            quoted += QStringLiteral("\\r");
            break;
        default:
            quoted += c;
        }
    }
    quoted += QStringLiteral("')");
    return quoted;
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

QVariant OverviewBridge::Invoke(const QString& name, const QVariantList& arguments) {
    // The bridge script sends every call as jsInvokeCPlusPlus(command, ...).
    if (name != QLatin1String("jsInvokeCPlusPlus") || arguments.isEmpty() || !handler_)
        return QVariant();
    return handler_(arguments.front().toString(), arguments.mid(1));
}
