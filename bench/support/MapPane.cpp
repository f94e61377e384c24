#include "MapPane.h"

#include "map/CCEFWebkitUI.h"
#include "map/CCefClientHandler.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWebEngineView>

namespace benchmap {

void Idle(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        Idle(10);
    }
    return true;
}

QVariant Evaluate(QWebEngineView* view, const QString& script, int timeoutMs) {
    QEventLoop loop;
    auto result = std::make_shared<QVariant>();
    auto done = std::make_shared<bool>(false);
    view->page()->runJavaScript(script, [result, done, &loop](const QVariant& v) {
        *result = v;
        *done = true;
        loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (!*done)
        loop.exec();
    return *result;
}

bool WaitUntil(QWebEngineView* view, const QString& condition, int timeoutMs, int pollMs) {
    QElapsedTimer timer;
    timer.start();
    while (!Evaluate(view, condition, timeoutMs).toBool()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        Idle(pollMs);
    }
    return true;
}

size_t ViewCount(const CHtmlMapDlg& map) {
    size_t live = 0;
    for (const auto& view : map.ViewWrapper()->Handler()->Views())
        live += view ? 1 : 0;
    return live;
}

QWebEngineView* NewestView(const CHtmlMapDlg& map) {
    const auto views = map.ViewWrapper()->Handler()->Views();
    return views.empty() ? nullptr : views.back().data();
}

bool MapPane::Open(int choice) {
    window.resize(1000, 700);
    window.show();
    map = std::make_unique<CHtmlMapDlg>(&window);
    map->show();
    map->SetMapType(choice);
    map->PlaceMap(QRect(0, 0, 1000, 710));
    return WaitForPage() != nullptr;
}

QWebEngineView* MapPane::WaitForPage(int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!map->IsReady() || !map->ViewWrapper() || !NewestView(*map)) {
        if (timer.elapsed() > timeoutMs)
            return nullptr;
        Idle(5);
    }
    QWebEngineView* view = NewestView(*map);
    if (!WaitUntil(view, "typeof driven === 'object' && driven !== null", timeoutMs, 10))
        return nullptr;
    return view;
}

} // namespace benchmap
