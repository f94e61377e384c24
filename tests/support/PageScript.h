#pragma once
// Waiting while the event loop runs, and reading a value of a page's script.
#include <QElapsedTimer>
#include <QTest>
#include <QVariant>
#include <QWebEnginePage>
#include <functional>
#include <memory>

namespace pagescript {

inline bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QTest::qWait(20);
    }
    return true;
}

// The script's value; an invalid value when the page gave none in time.
inline QVariant Evaluate(QWebEnginePage* page, const QString& script) {
    auto result = std::make_shared<QVariant>();
    auto done = std::make_shared<bool>(false);
    page->runJavaScript(script, [result, done](const QVariant& v) {
        *result = v;
        *done = true;
    });
    WaitFor([done] { return *done; }, 10000);
    return *result;
}

} // namespace pagescript
