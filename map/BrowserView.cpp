#include "map/BrowserView.h"

#include "map/CCefClientHandler.h"

#include <QContextMenuEvent>

BrowserView::BrowserView(CCefClientHandler* handler, QWidget* parent)
    : QWebEngineView(parent), handler_(handler) {}

void BrowserView::contextMenuEvent(QContextMenuEvent* event) {
    if (handler_)
        handler_->ShowContextMenu(this, event->globalPos());
    event->accept();
}
