#include "map/CCefClientHandler.h"

#include "map/BrowserPage.h"
#include "map/BrowserView.h"
#include "map/CCefClientApp.h"
#include "map/LoadErrorPage.h"
#include "map/LocalPages.h"

#include <QWebEngineCertificateError>
#include <QWebEngineLoadingInfo>
#include <algorithm>

namespace {
// Chromium's code for a load that was cancelled, e.g. by a newer one.
constexpr int kErrAborted = -3;
} // namespace

CCefClientHandler::CCefClientHandler(QObject* parent) : QObject(parent) {}

CCefClientHandler::~CCefClientHandler() = default;

QWebEngineView* CCefClientHandler::CreateBrowser(const QRect& rect, const QUrl& url) {
    CCefClientApp* app = CCefClientApp::Instance();
    if (!app || !host_)
        return nullptr;
    auto* view = new BrowserView(this, host_);
    auto* page = new BrowserPage(app->Profile(), this, view);
    view->setPage(page);
    view->setGeometry(rect);
    connect(page, &QWebEnginePage::windowCloseRequested, view, [this, view] {
        OnBeforeClose(view);
        view->deleteLater();
    });
    view->show();
    OnAfterCreated(view);
    if (!url.isEmpty())
        page->load(url);
    return view;
}

std::vector<QPointer<QWebEngineView>> CCefClientHandler::Views() const {
    std::lock_guard<std::mutex> guard(lock_);
    return views_;
}

void CCefClientHandler::OnAfterCreated(QWebEngineView* view) {
    std::lock_guard<std::mutex> guard(lock_);
    views_.emplace_back(view);
}

void CCefClientHandler::OnBeforeClose(QWebEngineView* view) {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = std::find(views_.begin(), views_.end(), view);
    if (it != views_.end())
        views_.erase(it);
}

int CCefClientHandler::CloseBrowsersBefore(QWebEngineView* view) {
    std::vector<QPointer<QWebEngineView>> older;
    {
        std::lock_guard<std::mutex> guard(lock_);
        auto it = std::find(views_.begin(), views_.end(), view);
        if (it == views_.end())
            return 0;
        older.assign(views_.begin(), it);
        views_.erase(views_.begin(), it);
    }
    // Later, as a view may be in the middle of delivering an event.
    for (const QPointer<QWebEngineView>& old : older) {
        if (old) {
            old->hide();
            old->deleteLater();
        }
    }
    return int(older.size());
}

bool CCefClientHandler::OnBeforePopup(const QUrl& targetUrl) {
    emit OpenUrlRequested(targetUrl);
    return true;
}

void CCefClientHandler::OnLoadingChanged(QWebEnginePage* page, const QWebEngineLoadingInfo& info) {
    if (info.status() != QWebEngineLoadingInfo::LoadFailedStatus)
        return;
    // An HTTP error status still delivers the server's page.
    const auto domain = info.errorDomain();
    if (domain == QWebEngineLoadingInfo::HttpErrorDomain ||
        domain == QWebEngineLoadingInfo::HttpStatusCodeDomain || info.errorCode() == kErrAborted)
        return;
    const QString url = info.url().toString();
    page->setHtml(LoadErrorPageHtml(url, info.errorString(), info.errorCode()), info.url());
}

// Certificates that the engine does not trust are refused: the map pages are
// local, and nothing here should ever talk to an impostor.
void CCefClientHandler::OnCertificateError(QWebEngineCertificateError error) {
    error.rejectCertificate();
}

bool CCefClientHandler::OffersBridgeTo(const QUrl& url) const {
    return LocalPages::IsOwnLocalPage(url);
}
