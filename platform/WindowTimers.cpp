#include "platform/WindowTimers.h"

#include <QTimer>

WindowTimers::WindowTimers(std::function<void(int id)> onTimer, QObject* parent)
    : QObject(parent), onTimer_(std::move(onTimer)) {}

void WindowTimers::SetTimer(int id, int periodMs) {
    QTimer*& timer = timers_[id];
    if (!timer) {
        timer = new QTimer(this);
        timer->setTimerType(Qt::PreciseTimer);
        connect(timer, &QTimer::timeout, this, [this, id] {
            if (onTimer_)
                onTimer_(id);
        });
    }
    timer->start(periodMs);
}

void WindowTimers::KillTimer(int id) {
    const auto it = timers_.find(id);
    if (it != timers_.end())
        it->second->stop();
}

bool WindowTimers::IsActive(int id) const {
    const auto it = timers_.find(id);
    return it != timers_.end() && it->second->isActive();
}
