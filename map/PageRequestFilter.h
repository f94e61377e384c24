#pragma once
#include "map/TileSource.h"

#include <QWebEngineUrlRequestInterceptor>
#include <mutex>

// What the map pages may fetch: files of their own folder and the tiles of
// the tile source, nothing else. Pages from elsewhere are not filtered; they
// never get the bridge.
class PageRequestFilter : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
  public:
    PageRequestFilter(const TileSource& tiles, QObject* parent);
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;
    // Requests may come from the engine's threads; the source is swapped
    // under a lock.
    void SetTileSource(const TileSource& tiles);

  private:
    std::mutex lock_;
    TileSource tiles_;
};
