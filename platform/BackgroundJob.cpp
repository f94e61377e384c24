#include "platform/BackgroundJob.h"

#include "platform/JobPool.h"
#include "platform/JobState.h"

#include <QObject>
#include <QTimer>

bool JobControl::Cancelled() const {
    return state_->cancelled.load(std::memory_order_relaxed);
}

void JobControl::Report(qint64 done, qint64 total) {
    JobState& s = *state_;
    const std::lock_guard<std::mutex> lock(s.mutex);
    s.done = done;
    s.total = total;
    s.progressNoted = true;
    // One delivery in flight at a time: the notes after it only update it.
    if (!s.flushPosted) {
        s.flushPosted = true;
        s.Post(s.flush);
    }
}

BackgroundJob::~BackgroundJob() {
    Drop();
    delete receiver_;
}

std::function<void()> BackgroundJob::Deliver(void (BackgroundJob::*step)()) {
    // A delivery of a job dropped since it was posted finds another job or
    // none and does nothing.
    return [this, step, job = std::weak_ptr<JobState>(state_)] {
        const std::shared_ptr<JobState> state = job.lock();
        if (state && state == state_)
            (this->*step)();
    };
}

void BackgroundJob::StartErased(std::function<void(JobControl&)> work,
                                std::function<void()> finished, ProgressHandler progress) {
    Drop();
    if (!receiver_)
        receiver_ = new QObject;
    state_ = std::make_shared<JobState>();
    finished_ = std::move(finished);
    progress_ = std::move(progress);
    sinceDelivery_.invalidate();
    state_->receiver = receiver_;
    state_->flush = Deliver(&BackgroundJob::Flush);
    state_->finish = Deliver(&BackgroundJob::Finish);
    RunInJobPool([state = state_, work = std::move(work)]() mutable {
        JobControl control(state);
        work(control);
        const std::lock_guard<std::mutex> lock(state->mutex);
        state->workEnded = true;
        state->Post(state->finish);
        state->ended.notify_all();
    });
}

void BackgroundJob::Cancel() {
    if (state_)
        state_->cancelled = true;
}

void BackgroundJob::Stop() {
    const std::shared_ptr<JobState> state = state_;
    Drop();
    if (!state)
        return;
    std::unique_lock<std::mutex> lock(state->mutex);
    state->ended.wait(lock, [&] { return state->workEnded; });
}

void BackgroundJob::Wait() {
    const std::shared_ptr<JobState> state = state_;
    if (!state)
        return;
    {
        std::unique_lock<std::mutex> lock(state->mutex);
        state->ended.wait(lock, [&] { return state->workEnded; });
    }
    // The deliveries already posted find the job done and do nothing.
    Finish();
}

void BackgroundJob::Drop() {
    if (!state_)
        return;
    state_->cancelled = true;
    {
        const std::lock_guard<std::mutex> lock(state_->mutex);
        state_->receiver = nullptr;
    }
    state_.reset();
    finished_ = nullptr;
    progress_ = nullptr;
}

void BackgroundJob::Flush() {
    const qint64 waited = sinceDelivery_.isValid() ? sinceDelivery_.elapsed() : kProgressIntervalMs;
    if (waited >= kProgressIntervalMs)
        DeliverProgress();
    else
        QTimer::singleShot(int(kProgressIntervalMs - waited), receiver_,
                           Deliver(&BackgroundJob::DeliverProgress));
}

void BackgroundJob::DeliverProgress() {
    qint64 done = 0, total = 0;
    {
        const std::lock_guard<std::mutex> lock(state_->mutex);
        state_->flushPosted = false;
        if (!state_->progressNoted)
            return;
        state_->progressNoted = false;
        done = state_->done;
        total = state_->total;
    }
    sinceDelivery_.start();
    if (progress_)
        progress_(done, total);
}

void BackgroundJob::Finish() {
    const std::shared_ptr<JobState> state = state_;
    // The last note always arrives, before the result.
    DeliverProgress();
    if (state_ != state)
        return; // the progress handler dropped or restarted the job
    std::function<void()> finished = std::move(finished_);
    state_.reset();
    progress_ = nullptr;
    finished();
}
