#pragma once
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QUrl>
#include <QWidget>
#include <mutex>
#include <vector>

class ContextMenuModel;
class QWebEngineCertificateError;
class QWebEngineContextMenuRequest;
class QWebEngineLoadingInfo;
class QWebEnginePage;
class QWebEngineView;

// Receives the events of every browser view of one host window and keeps the
// list of those views in creation order.
class CCefClientHandler : public QObject {
    Q_OBJECT
  public:
    explicit CCefClientHandler(QObject* parent = nullptr);
    ~CCefClientHandler() override;

    void SetHostWindow(QWidget* host) { host_ = host; }
    QWidget* HostWindow() const { return host_; }

    // Creates a view in the host at the rectangle and starts loading the URL.
    // Null when the browser has not been started.
    QWebEngineView* CreateBrowser(const QRect& rect, const QUrl& url);

    // A copy of the list, taken under the lock; entries of views that have
    // been destroyed meanwhile read as null.
    std::vector<QPointer<QWebEngineView>> Views() const;

    // Life span.
    void OnAfterCreated(QWebEngineView* view);
    void OnBeforeClose(QWebEngineView* view);
    // Takes the views created before this one off the list and releases them
    // (each with its page and renderer). Returns how many went.
    int CloseBrowsersBefore(QWebEngineView* view);
    // Every pop-up is refused; its address goes out as an open-URL request.
    bool OnBeforePopup(const QUrl& targetUrl);

    // Loading.
    void OnLoadingChanged(QWebEnginePage* page, const QWebEngineLoadingInfo& info);
    void OnCertificateError(QWebEngineCertificateError error);
    // Whether a page about to load at the URL gets the native bridge.
    bool OffersBridgeTo(const QUrl& url) const;

    // Context menu.
    void OnBeforeContextMenu(int typeFlags, ContextMenuModel* model);
    // True when the command was handled here.
    bool OnContextMenuCommand(QWebEngineView* view, const QWebEngineContextMenuRequest& request,
                              int commandId);
    // Builds the edited menu for the view's last context-menu request and
    // pops it up at the global position.
    void ShowContextMenu(QWebEngineView* view, const QPoint& globalPos);

  signals:
    void OpenUrlRequested(const QUrl& url);

  private:
    void RunStandardCommand(QWebEngineView* view, int commandId);

    QPointer<QWidget> host_;
    mutable std::mutex lock_;
    std::vector<QPointer<QWebEngineView>> views_;
};
