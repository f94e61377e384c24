#include "PageClock.h"

#include "MapPane.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QWebEngineView>
#include <chrono>

namespace benchmap {

namespace {

constexpr char kProbe[] = R"JS(
(function () {
  if (window.benchTimes) return true;
  var now = function () { return performance.timeOrigin + performance.now(); };
  window.benchTimes = {};
  ["path_plot_batch", "pathdrived_plot_batch"].forEach(function (name) {
    var plot = window[name];
    window[name] = function (coords) {
      var t = window.benchTimes = { entered: now() };
      plot(coords);
      t.returned = now();
      // Timers run after the promise jobs that convert and draw.
      setTimeout(function () {
        t.drawn = now();
        requestAnimationFrame(function () {
          requestAnimationFrame(function () { t.framed = now(); });
        });
      }, 0);
    };
  });
  return true;
})()
)JS";

} // namespace

double NowMs() {
    using namespace std::chrono;
    return double(duration_cast<microseconds>(system_clock::now().time_since_epoch()).count()) /
           1000.0;
}

bool InstallPageClock(QWebEngineView* view) {
    return Evaluate(view, QString::fromLatin1(kProbe)).toBool();
}

void ResetPageTimes(QWebEngineView* view) {
    Evaluate(view, QStringLiteral("window.benchTimes = {}, true"));
}

PageTimes WaitForPageTimes(QWebEngineView* view, int timeoutMs) {
    PageTimes times;
    if (!WaitUntil(view, QStringLiteral("window.benchTimes.framed > 0"), timeoutMs))
        return times;
    const QJsonObject t =
        QJsonDocument::fromJson(
            Evaluate(view, QStringLiteral("JSON.stringify(window.benchTimes)")).toString().toUtf8())
            .object();
    times.entered = t["entered"].toDouble();
    times.returned = t["returned"].toDouble();
    times.drawn = t["drawn"].toDouble();
    times.framed = t["framed"].toDouble();
    return times;
}

} // namespace benchmap
