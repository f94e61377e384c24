#pragma once
#include <QRect>
#include <QString>
#include <QUrl>
#include <memory>

class CCefClientHandler;
class QWebEngineView;
class QWidget;

// The browser views of one host window: opens pages in new views, places
// them and runs scripts in all of them.
class CCEFWebkitUI {
  public:
    explicit CCEFWebkitUI(QWidget* host);
    virtual ~CCEFWebkitUI();
    CCEFWebkitUI(const CCEFWebkitUI&) = delete;
    CCEFWebkitUI& operator=(const CCEFWebkitUI&) = delete;

    virtual QString ClassName() const { return QStringLiteral("WKEWebkitUI"); }
    // Rectangle in the host's coordinates (right and bottom exclusive).
    virtual void SetPos(int left, int top, int right, int bottom);
    virtual QRect GetRect() const;

    // Adds one more view showing the URL. Earlier views stay until its page
    // has loaded; then they are closed and the new view takes the first place.
    // Returns the new view, null when the browser has not been started.
    QWebEngineView* OpenPage(const QUrl& url);
    // Hides and shows every view, so the newest one ends up seen.
    void ReFresh();
    // Runs the script in every live view without waiting for it.
    void ExecuteScript(const QString& script);

    CCefClientHandler* Handler() const { return handler_.get(); }

  private:
    void OnPageLoaded(QWebEngineView* view);

    QWidget* host_;
    std::unique_ptr<CCefClientHandler> handler_;
    int currentView_ = 0;
    int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
};
