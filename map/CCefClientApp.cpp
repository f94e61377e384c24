#include "map/CCefClientApp.h"

#include "map/BridgeScript.h"
#include "map/CCEFV8HandlerEx.h"
#include "map/CCEFWebkitUI.h"
#include "map/MapMessages.h"
#include "map/PageRequestFilter.h"
#include "map/TileSource.h"
#include "map/WebViewDrawing.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWidget>

namespace {
CCefClientApp* g_app = nullptr;
}

CCefClientApp* CCefClientApp::Instance() {
    return g_app;
}

QString CCefClientApp::CachePath() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return base.isEmpty() ? QString() : base + QStringLiteral("/halvex");
}

CCefClientApp::CCefClientApp() : QObject(QCoreApplication::instance()) {
    v8Handler_ = new CCEFV8HandlerEx(this);
    profile_ = new QWebEngineProfile(QStringLiteral("Halvex"), this);
    const QString cache = CachePath();
    if (!cache.isEmpty()) {
        // Tiles are fetched once and kept across runs, as tile servers ask.
        profile_->setCachePath(cache + QStringLiteral("/web"));
        profile_->setPersistentStoragePath(cache + QStringLiteral("/web-storage"));
        profile_->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    }
    // Tile servers ask an application to name itself.
    profile_->setHttpUserAgent(
        QStringLiteral("Halvex/%1 (Linux dash camera viewer) %2")
            .arg(QStringLiteral(HALVEX_VERSION_TEXT), profile_->httpUserAgent()));
    filter_ = new PageRequestFilter(TileSource::Default(), profile_);
    profile_->setUrlRequestInterceptor(filter_);

    QWebEngineSettings* s = profile_->settings();
    // Failed loads get our own error page instead of the engine's.
    s->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    // The local map pages draw tiles from the network and load their scripts
    // from their folder (the engine refuses those too without file access);
    // the request filter keeps them to exactly that.
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);

    QWebEngineScript bridge;
    bridge.setName(QStringLiteral("halvex-bridge"));
    bridge.setSourceCode(BridgeScriptSource());
    bridge.setInjectionPoint(QWebEngineScript::DocumentCreation);
    bridge.setWorldId(QWebEngineScript::MainWorld);
    bridge.setRunsOnSubFrames(false);
    profile_->scripts()->insert(bridge);

    UseTileSource(TileSource::FromSettings());
}

void CCefClientApp::UseTileSource(const TileSource& tiles) {
    filter_->SetTileSource(tiles);
    QWebEngineScriptCollection* scripts = profile_->scripts();
    for (const QWebEngineScript& old : scripts->find(QStringLiteral("halvex-tiles")))
        scripts->remove(old);
    QWebEngineScript script;
    script.setName(QStringLiteral("halvex-tiles"));
    script.setSourceCode(tiles.PageScript());
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    scripts->insert(script);
}

CCefClientApp::~CCefClientApp() {
    if (g_app == this)
        g_app = nullptr;
}

void CCefClientApp::OnContextInitialized(QObject* host) {
    PostWindowMessage(host, WM_MAP_BROWSER, MAP_CONTEXT_READY, 0);
}

bool InitBrowser(QWidget* host, std::unique_ptr<CCEFWebkitUI>* wrapper) {
    if (!QCoreApplication::instance())
        return false;
    if (!g_app) {
        // Before the profile, which starts the engine with its way of drawing.
        WebViewDrawing::UseSoftwareWhereOpenGlIsSoftware();
        g_app = new CCefClientApp();
    }
    // The profile is usable at once; the message keeps the hand-off
    // asynchronous, so the host opens its first page from its event loop.
    g_app->OnContextInitialized(host);
    if (wrapper && !*wrapper)
        *wrapper = std::make_unique<CCEFWebkitUI>(host);
    return true;
}

void ShutdownBrowser() {
    delete g_app;
    g_app = nullptr;
}
