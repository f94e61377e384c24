#pragma once
// The real map pane in a window, and waiting on its page without spinning:
// every wait sleeps in the event loop, so the CPU a benchmark reports is the
// work it measures.
#include "map/CHtmlMapDlg.h"

#include <QString>
#include <QVariant>
#include <QWidget>
#include <functional>
#include <memory>

class QWebEngineView;

namespace benchmap {

// Runs the event loop for the time, sleeping while there is nothing to do.
void Idle(int milliseconds);

// Runs the event loop until the condition holds (polled every 10 ms); false
// when the time is up.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 30000);

// The value of the script in the page (empty after the timeout).
QVariant Evaluate(QWebEngineView* view, const QString& script, int timeoutMs = 30000);

// Polls the condition every pollMs; false when the time is up.
bool WaitUntil(QWebEngineView* view, const QString& condition, int timeoutMs = 30000,
               int pollMs = 2);

// The live views of the pane.
size_t ViewCount(const CHtmlMapDlg& map);
QWebEngineView* NewestView(const CHtmlMapDlg& map);

struct MapPane {
    QWidget window;
    std::unique_ptr<CHtmlMapDlg> map;

    // A 1000 x 700 pane on screen, showing the page of the choice with its
    // map built.
    bool Open(int choice);
    // The newest view, once its map is built.
    QWebEngineView* WaitForPage(int timeoutMs = 30000);
};

} // namespace benchmap
