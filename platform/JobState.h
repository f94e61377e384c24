#pragma once
// What a job's work and its caller share; only the job helpers see it.
#include <QMetaObject>
#include <QObject>
#include <QtGlobal>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

struct JobState {
    std::atomic<bool> cancelled{false};
    std::mutex mutex;
    std::condition_variable ended;
    // Null once the caller dropped the job.
    QObject* receiver = nullptr;
    // Called on the caller's thread through the receiver; set with it.
    std::function<void()> flush;
    std::function<void()> finish;
    bool workEnded = false;
    bool progressNoted = false;
    bool flushPosted = false;
    qint64 done = 0;
    qint64 total = 0;

    // Under the mutex.
    void Post(const std::function<void()>& call) {
        if (receiver)
            QMetaObject::invokeMethod(receiver, call, Qt::QueuedConnection);
    }
};
