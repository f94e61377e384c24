#include "map/CCEFWebkitUI.h"

#include "map/CCefClientHandler.h"
#include "platform/LogCategories.h"

#include <QWebEnginePage>
#include <QWebEngineView>

CCEFWebkitUI::CCEFWebkitUI(QWidget* host)
    : host_(host), handler_(std::make_unique<CCefClientHandler>()) {
    handler_->SetHostWindow(host_);
}

// The views are the host's children; they go first, so none of them calls
// into a handler that no longer exists.
CCEFWebkitUI::~CCEFWebkitUI() {
    for (const QPointer<QWebEngineView>& view : handler_->Views())
        delete view.data();
}

QRect CCEFWebkitUI::GetRect() const {
    return QRect(left_, top_, right_ - left_, bottom_ - top_);
}

void CCEFWebkitUI::SetPos(int left, int top, int right, int bottom) {
    qCDebug(lcDiag, "==>>CCEFWebkitUI::SetPos ");
    left_ = left;
    top_ = top;
    right_ = right;
    bottom_ = bottom;
    const auto views = handler_->Views();
    for (size_t i = 0; i < views.size(); ++i) {
        QWebEngineView* view = views[i];
        if (!view)
            continue;
        // Every view follows the layout, so the newest page, which is the one
        // seen after the next refresh, fits the pane too.
        view->hide();
        view->setGeometry(GetRect());
        if (int(i) == currentView_) {
            view->show();
            view->update();
        }
    }
}

QWebEngineView* CCEFWebkitUI::OpenPage(const QUrl& url) {
    QWebEngineView* view = handler_->CreateBrowser(GetRect(), url);
    // The handler lives exactly as long as this wrapper, so the connection
    // ends with it even for a closed view whose deletion is still pending.
    if (view)
        QObject::connect(view, &QWebEngineView::loadFinished, handler_.get(),
                         [this, view] { OnPageLoaded(view); });
    return view;
}

// The newest page is the one seen. Older views would only take scripts and
// hold a renderer each for the life of the window.
void CCEFWebkitUI::OnPageLoaded(QWebEngineView* view) {
    if (handler_->CloseBrowsersBefore(view) == 0)
        return;
    view->setGeometry(GetRect());
    view->show();
}

void CCEFWebkitUI::ReFresh() {
    qCDebug(lcDiag, "==>>CCEFWebkitUI::ReFresh Refresh the Webview ");
    for (const QPointer<QWebEngineView>& view : handler_->Views()) {
        if (!view)
            continue;
        qCDebug(lcDiag, "==>> CCEFWebkitUI::Refresh the Webview ");
        view->hide();
        view->show();
    }
}

void CCEFWebkitUI::ExecuteScript(const QString& script) {
    for (const QPointer<QWebEngineView>& view : handler_->Views())
        if (view)
            view->page()->runJavaScript(script);
}
