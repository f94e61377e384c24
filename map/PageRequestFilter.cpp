#include "map/PageRequestFilter.h"

#include "map/LocalPages.h"
#include "platform/LogCategories.h"

#include <QWebEngineUrlRequestInfo>

PageRequestFilter::PageRequestFilter(const TileSource& tiles, QObject* parent)
    : QWebEngineUrlRequestInterceptor(parent), tiles_(tiles) {}

void PageRequestFilter::SetTileSource(const TileSource& tiles) {
    std::lock_guard<std::mutex> guard(lock_);
    tiles_ = tiles;
}

void PageRequestFilter::interceptRequest(QWebEngineUrlRequestInfo& info) {
    if (!LocalPages::IsOwnLocalPage(info.firstPartyUrl()))
        return;
    const QUrl url = info.requestUrl();
    const QString scheme = url.scheme();
    bool allowed = false;
    if (url.isLocalFile())
        allowed = LocalPages::IsOwnLocalPage(url);
    else if (scheme == "http" || scheme == "https") {
        std::lock_guard<std::mutex> guard(lock_);
        allowed = info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeImage &&
                  tiles_.CouldServe(url);
    } else
        allowed = scheme == "data" || scheme == "blob" || scheme == "qrc";
    if (!allowed) {
        qCDebug(lcDiag) << "map page request refused:" << url.toString();
        info.block(true);
    }
}
