#pragma once
// The one way work runs away from the thread that asks for it. The work runs
// on a pool thread, may be asked to stop, and notes how far it got; the
// caller hears of that progress at most about ten times a second (the last
// note always) and receives the work's result, both on the caller's own
// thread through its event loop. Nothing waits on the caller's thread and
// nothing is shared with the work but what it was given and what it returns.
#include <QElapsedTimer>
#include <QtGlobal>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

class QObject;
struct JobState;

// What the work sees of its job.
class JobControl {
  public:
    explicit JobControl(std::shared_ptr<JobState> state) : state_(std::move(state)) {}
    // True once the caller asked the work to stop.
    bool Cancelled() const;
    // Notes how far the work got. Cheap: a burst of notes reaches the caller
    // as one, the latest.
    void Report(qint64 done, qint64 total = 0);

  private:
    std::shared_ptr<JobState> state_;
};

class BackgroundJob {
  public:
    using ProgressHandler = std::function<void(qint64 done, qint64 total)>;
    // The shortest time between two progress deliveries.
    static constexpr int kProgressIntervalMs = 100;

    BackgroundJob() = default;
    // Cancels a running work and drops what it would still deliver.
    ~BackgroundJob();
    BackgroundJob(const BackgroundJob&) = delete;
    BackgroundJob& operator=(const BackgroundJob&) = delete;

    // Runs work(JobControl&) on a pool thread and calls done(result) (done()
    // for work returning nothing) on this thread when it has returned, after
    // the last progress. A job still running is cancelled and dropped first.
    template <typename Work, typename Done>
    void Start(Work work, Done done, ProgressHandler progress = {}) {
        using Result = std::invoke_result_t<Work&, JobControl&>;
        if constexpr (std::is_void_v<Result>) {
            StartErased([work = std::move(work)](JobControl& c) mutable { work(c); },
                        [done = std::move(done)]() mutable { done(); }, std::move(progress));
        } else {
            auto result = std::make_shared<std::optional<Result>>();
            StartErased([work = std::move(work),
                         result](JobControl& c) mutable { result->emplace(work(c)); },
                        [done = std::move(done), result]() mutable { done(std::move(**result)); },
                        std::move(progress));
        }
    }

    // Asks the work to stop; what it returns is still delivered.
    void Cancel();
    // Cancels, drops what the work would still deliver and waits until it
    // has returned: for an owner whose work reads what it is about to free.
    void Stop();
    // For a caller that runs no event loop (work that starts work of its
    // own): waits until the work has returned, then delivers its last
    // progress and its result here and now.
    void Wait();
    // Started and its result not yet delivered.
    bool Running() const { return state_ != nullptr; }

  private:
    void StartErased(std::function<void(JobControl&)> work, std::function<void()> finished,
                     ProgressHandler progress);
    // Drops the running job: nothing more of it reaches this thread.
    void Drop();
    // A call of the step on this thread for the running job, ignored once
    // that job is dropped or done.
    std::function<void()> Deliver(void (BackgroundJob::*step)());
    void Flush();
    void DeliverProgress();
    void Finish();

    std::shared_ptr<JobState> state_;
    // Receives the deliveries on the thread that started the first job.
    QObject* receiver_ = nullptr;
    std::function<void()> finished_;
    ProgressHandler progress_;
    QElapsedTimer sinceDelivery_;
};
