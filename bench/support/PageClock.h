#pragma once
// Where the time of a batch call goes: this process and the page read the
// same system clock, so a time taken here and one taken in the page subtract.
class QWebEngineView;

namespace benchmap {

// Milliseconds since the epoch, to the microsecond.
double NowMs();

// When the page last entered a batch plotting function, returned from it,
// had drawn the points (its conversions and drawing run right after the
// call) and had begun the frame after the one that carries them. 0 = not yet.
struct PageTimes {
    double entered = 0;
    double returned = 0;
    double drawn = 0;
    double framed = 0;
};

// Wraps the page's batch functions so that they note their times; once per
// page, a second call changes nothing.
bool InstallPageClock(QWebEngineView* view);
// Forgets the last times.
void ResetPageTimes(QWebEngineView* view);
// Waits until the frame after the drawing has begun; zeros when the time is up.
PageTimes WaitForPageTimes(QWebEngineView* view, int timeoutMs = 30000);

} // namespace benchmap
