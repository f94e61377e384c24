#include "FrameCounter.h"

#include <QQuickWidget>
#include <QQuickWindow>
#include <QWebEngineView>

namespace benchmap {

FrameCounter::FrameCounter(QWebEngineView* view) {
    QQuickWidget* scene = view ? view->findChild<QQuickWidget*>() : nullptr;
    if (scene && scene->quickWindow())
        connection_ = QObject::connect(scene->quickWindow(), &QQuickWindow::afterRendering,
                                       [frames = frames_] { ++*frames; });
}

FrameCounter::~FrameCounter() {
    QObject::disconnect(connection_);
}

} // namespace benchmap
