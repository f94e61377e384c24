#include "map/BrowserPage.h"

#include "map/BridgeScript.h"
#include "map/CCEFV8HandlerEx.h"
#include "map/CCefClientApp.h"
#include "map/CCefClientHandler.h"
#include "map/LocalPages.h"
#include "map/MyV8Accessor.h"
#include "platform/LogCategories.h"

#include <QDesktopServices>

#include <QWebChannel>
#include <QWebEngineCertificateError>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineScript>

BrowserPage::BrowserPage(QWebEngineProfile* profile, CCefClientHandler* handler, QObject* parent)
    : QWebEnginePage(profile, parent), handler_(handler), channel_(new QWebChannel(this)),
      accessor_(new MyV8Accessor(this)) {
    if (CCefClientApp* app = CCefClientApp::Instance())
        channel_->registerObject(QString::fromLatin1(kBridgeHandlerName), app->V8Handler());
    channel_->registerObject(QString::fromLatin1(kBridgeAccessorName), accessor_);

    connect(this, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
        if (handler_)
            handler_->OnLoadingChanged(this, info);
    });
    connect(this, &QWebEnginePage::certificateError, this,
            [this](const QWebEngineCertificateError& error) {
                if (handler_)
                    handler_->OnCertificateError(error);
                else
                    QWebEngineCertificateError(error).rejectCertificate();
            });
    connect(this, &QWebEnginePage::newWindowRequested, this,
            [this](QWebEngineNewWindowRequest& request) {
                if (handler_)
                    handler_->OnBeforePopup(request.requestedUrl());
            });
}

bool BrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    if (isMainFrame && LocalPages::IsOwnLocalPage(this->url()) &&
        !LocalPages::SameDocument(this->url(), url)) {
        // The map stays; a followed link (the tiles' attribution) opens in
        // the user's browser instead.
        if (type == NavigationTypeLinkClicked &&
            (url.scheme() == "https" || url.scheme() == "http"))
            QDesktopServices::openUrl(url);
        return false;
    }
    if (isMainFrame) {
        // Decided before the new document exists, so a page from elsewhere
        // never sees the transport, not even while it loads.
        const bool offer = handler_ && handler_->OffersBridgeTo(url);
        setWebChannel(offer ? channel_ : nullptr, QWebEngineScript::MainWorld);
        accessor_->Clear();
    }
    return true;
}

void BrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level,
                                           const QString& message, int lineNumber,
                                           const QString& sourceId) {
    static const char* const kLevels[] = {"info", "warning", "error"};
    qCDebug(lcPage).noquote() << kLevels[qBound(0, int(level), 2)]
                              << sourceId + ":" + QString::number(lineNumber) << message;
}

// Pop-ups are refused: no window is created for them.
QWebEnginePage* BrowserPage::createWindow(WebWindowType) {
    return nullptr;
}
