#pragma once
#include <QUrl>
#include <QVariant>
#include <QWebEnginePage>
#include <functional>

class QWebChannel;

// The overview's map page: our own local page on the map profile (so the
// request filter keeps it to its folder and the tile server), with the
// native bridge answering the page's calls through one handler.
class OverviewPage : public QWebEnginePage {
    Q_OBJECT
  public:
    // The page's command and its arguments; the result goes back to the page.
    using Handler = std::function<QVariant(const QString& command, const QVariantList& args)>;

    OverviewPage(QWebEngineProfile* profile, Handler handler, QObject* parent);

    // overview.html from the first of the program's page folders that holds
    // it with Leaflet beside it.
    static QUrl PageUrl();

    // A script expression that makes a JSON text a value in the page. The
    // page's engine reads a large literal two to four times slower than
    // JSON.parse reads the same text from a string.
    static QString Parsed(const QByteArray& json);

  protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceId) override;

  private:
    QWebChannel* channel_;
};

// What the page's app.jsInvokeCPlusPlus reaches.
class OverviewBridge : public QObject {
    Q_OBJECT
  public:
    OverviewBridge(OverviewPage::Handler handler, QObject* parent)
        : QObject(parent), handler_(std::move(handler)) {}
    Q_INVOKABLE QVariant Invoke(const QString& name, const QVariantList& arguments);

  private:
    OverviewPage::Handler handler_;
};
