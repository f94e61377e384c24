#pragma once
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <functional>

class QWebEnginePage;
class QWebEngineView;

namespace maptest {

// Runs the event loop until the condition holds or the time is up.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 20000);

// Runs the script in the page and waits for its value.
QVariant Evaluate(QWebEnginePage* page, const QString& script, int timeoutMs = 20000);

// Waits until the page has finished loading (successfully or not) and its
// load handler has run.
bool WaitUntilLoaded(QWebEngineView* view, int timeoutMs = 30000);

// Gives the browser profile a cache folder of its own, so test processes do
// not share one. Call before the browser starts.
void UsePrivateCacheFolder();

// Collects the script errors the pages report (logged under halvex.page)
// while it exists; one at a time.
class PageErrors {
  public:
    PageErrors();
    ~PageErrors();
    PageErrors(const PageErrors&) = delete;
    PageErrors& operator=(const PageErrors&) = delete;
    const QStringList& Lines() const;
    void Clear();
};

} // namespace maptest
