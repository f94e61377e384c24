#pragma once
#include <QPointer>
#include <QWebEngineView>

class CCefClientHandler;

// A browser view whose context menu is built by the client handler.
class BrowserView : public QWebEngineView {
    Q_OBJECT
  public:
    BrowserView(CCefClientHandler* handler, QWidget* parent);

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    QPointer<CCefClientHandler> handler_;
};
