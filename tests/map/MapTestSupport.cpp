#include "MapTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <memory>

namespace maptest {

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

QVariant Evaluate(QWebEnginePage* page, const QString& script, int timeoutMs) {
    auto result = std::make_shared<QVariant>();
    auto done = std::make_shared<bool>(false);
    page->runJavaScript(script, [result, done](const QVariant& v) {
        *result = v;
        *done = true;
    });
    WaitFor([done] { return *done; }, timeoutMs);
    return *result;
}

bool WaitUntilLoaded(QWebEngineView* view, int timeoutMs) {
    return WaitFor(
        [view] {
            return Evaluate(view->page(),
                            "location.href !== 'about:blank' && document.readyState === 'complete'",
                            2000)
                .toBool();
        },
        timeoutMs);
}

namespace {
QStringList g_pageErrors;
QtMessageHandler g_previousHandler = nullptr;

void RecordPageErrors(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (context.category && QLatin1String(context.category) == QLatin1String("halvex.page") &&
        text.contains(QLatin1String("script error")))
        g_pageErrors << text;
    if (g_previousHandler)
        g_previousHandler(type, context, text);
}
} // namespace

PageErrors::PageErrors() {
    g_pageErrors.clear();
    QLoggingCategory::setFilterRules(QStringLiteral("halvex.page.debug=true"));
    g_previousHandler = qInstallMessageHandler(RecordPageErrors);
}

PageErrors::~PageErrors() {
    qInstallMessageHandler(g_previousHandler);
    g_previousHandler = nullptr;
    QLoggingCategory::setFilterRules(QString());
}

const QStringList& PageErrors::Lines() const {
    return g_pageErrors;
}

void PageErrors::Clear() {
    g_pageErrors.clear();
}

void UsePrivateCacheFolder() {
    static QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
}

} // namespace maptest
