#pragma once
#include <QObject>
#include <cstdint>
#include <functional>

// The one owner of the play time. The player pair reports the time source's
// own event time from libvlc's threads; the clock carries it, 64 bits whole,
// to the user-interface thread, drops the reports of a file stopped since,
// and tells its subscribers there.
class PlayClock : public QObject {
    Q_OBJECT
  public:
    // Whether a report made for the given file start still applies.
    explicit PlayClock(std::function<bool(qintptr start)> isCurrent)
        : isCurrent_(std::move(isCurrent)) {}

    // From any thread.
    void Report(qint64 timeMs, qint64 lengthMs, qintptr start);

  signals:
    // On the user-interface thread, in the order reported.
    void TimeChanged(qint64 timeMs, qint64 lengthMs);

  private:
    std::function<bool(qintptr)> isCurrent_;
};
