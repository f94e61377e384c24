#pragma once
#include <QUrl>
#include <QWebEnginePage>

class OverviewBridge;
class QWebChannel;

// The overview's map page: our own local page on the map profile (so the
// request filter keeps it to its folder and the tile server), with the
// bridge published on its web channel.
class OverviewPage : public QWebEnginePage {
    Q_OBJECT
  public:
    OverviewPage(QWebEngineProfile* profile, OverviewBridge* bridge, QObject* parent);

    // overview.html from the first of the program's page folders that holds
    // it with Leaflet beside it.
    static QUrl PageUrl();

  protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceId) override;

  private:
    QWebChannel* channel_;
};
