#pragma once
#include <QObject>
#include <QPointer>
#include <memory>

class CCEFV8HandlerEx;
class CCEFWebkitUI;
class PageRequestFilter;
struct TileSource;
class QWebEngineProfile;
class QWidget;

// The application object of the embedded browser: one per process. It owns
// the browser profile (cache, settings, the script injected into every page)
// and the bridge handler, and tells the map window when the browser is ready.
class CCefClientApp : public QObject {
    Q_OBJECT
  public:
    // Null before InitBrowser and after ShutdownBrowser.
    static CCefClientApp* Instance();

    QWebEngineProfile* Profile() const { return profile_; }
    CCEFV8HandlerEx* V8Handler() const { return v8Handler_; }

    // The tile source the pages opened from now on draw with, and the only
    // server they may reach.
    void UseTileSource(const TileSource& tiles);

    // Posts WM_MAP_BROWSER / MAP_CONTEXT_READY to the host window.
    void OnContextInitialized(QObject* host);

    // The folder the profile keeps its cache in, below the user's cache
    // folder; empty when there is none.
    static QString CachePath();

  private:
    CCefClientApp();
    ~CCefClientApp() override;
    friend bool InitBrowser(QWidget*, std::unique_ptr<CCEFWebkitUI>*);
    friend void ShutdownBrowser();

    QWebEngineProfile* profile_ = nullptr;
    CCEFV8HandlerEx* v8Handler_ = nullptr;
    PageRequestFilter* filter_ = nullptr;
};

// Starts the browser for the host window (once per process; a later call only
// adds the host) and gives the host a view wrapper when it has none. The host
// receives MAP_CONTEXT_READY once the browser can open pages.
bool InitBrowser(QWidget* host, std::unique_ptr<CCEFWebkitUI>* wrapper);

// Releases the profile; call after every browser view is gone.
void ShutdownBrowser();
