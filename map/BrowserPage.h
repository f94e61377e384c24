#pragma once
#include <QPointer>
#include <QWebEnginePage>

class CCefClientHandler;
class MyV8Accessor;
class QWebChannel;

// One view's page: forwards the engine's events to the client handler and
// publishes the native bridge on its web channel while it shows one of our
// own local pages.
class BrowserPage : public QWebEnginePage {
    Q_OBJECT
  public:
    BrowserPage(QWebEngineProfile* profile, CCefClientHandler* handler, QObject* parent);

    MyV8Accessor* Accessor() const { return accessor_; }
    bool BridgeOffered() const { return webChannel() != nullptr; }

  protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
    // Logged under halvex.page, so script errors the pages keep from the user
    // are still seen with --verbose and by the tests.
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceId) override;

  private:
    QPointer<CCefClientHandler> handler_;
    QWebChannel* channel_;
    MyV8Accessor* accessor_;
};
