#include "platform/JobPool.h"

#include <QThread>
#include <QThreadPool>
#include <algorithm>

void RunInJobPool(std::function<void()> task) {
    static QThreadPool pool;
    static const bool sized = [] {
        pool.setMaxThreadCount(std::max(8, QThread::idealThreadCount()));
        return true;
    }();
    Q_UNUSED(sized);
    pool.start(std::move(task));
}
