#include "app/playback/PlayClock.h"

void PlayClock::Report(qint64 timeMs, qint64 lengthMs, qintptr start) {
    QMetaObject::invokeMethod(
        this,
        [this, timeMs, lengthMs, start] {
            if (!isCurrent_ || isCurrent_(start))
                emit TimeChanged(timeMs, lengthMs);
        },
        Qt::QueuedConnection);
}
