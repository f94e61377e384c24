#include "platform/BackgroundJob.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <optional>
#include <thread>
#include <vector>

namespace {

// Runs this thread's events until `until` holds or a few seconds passed.
bool RunEventsUntil(const std::function<bool()>& until, int timeoutMs = 10000) {
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (until() || clock.elapsed() > timeoutMs)
            loop.quit();
    });
    tick.start(1);
    if (!until())
        loop.exec();
    return until();
}

struct Delivery {
    qint64 done;
    qint64 total;
    bool onCaller;
};

TEST(BackgroundJob, TheResultArrivesOnTheCallersThreadAfterTheLastProgress) {
    BackgroundJob job;
    QThread* workedOn = nullptr;
    std::vector<Delivery> progress;
    std::optional<int> result;
    bool resultOnCaller = false;
    size_t progressBeforeResult = 0;
    job.Start(
        [&](JobControl& control) {
            workedOn = QThread::currentThread();
            control.Report(1, 2);
            control.Report(2, 2);
            return 42;
        },
        [&](int value) {
            result = value;
            resultOnCaller = QThread::currentThread() == qApp->thread();
            progressBeforeResult = progress.size();
        },
        [&](qint64 done, qint64 total) {
            progress.push_back({done, total, QThread::currentThread() == qApp->thread()});
        });
    EXPECT_TRUE(job.Running());
    EXPECT_FALSE(result) << "nothing is delivered before the caller's events run";
    ASSERT_TRUE(RunEventsUntil([&] { return result.has_value(); }));
    EXPECT_EQ(*result, 42);
    EXPECT_TRUE(resultOnCaller);
    EXPECT_NE(workedOn, qApp->thread());
    EXPECT_FALSE(job.Running());
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progressBeforeResult, progress.size());
    EXPECT_EQ(progress.back().done, 2);
    EXPECT_EQ(progress.back().total, 2);
    for (const Delivery& d : progress)
        EXPECT_TRUE(d.onCaller);
}

// A burst of notes reaches the caller a few times a second at most, the last
// note always; and a note followed by a long silence is not held back until
// the work ends.
TEST(BackgroundJob, ProgressIsThrottledAndTheLatestAlwaysArrives) {
    BackgroundJob job;
    std::vector<qint64> shown;
    bool ended = false;
    constexpr int kNotes = 10000;
    QElapsedTimer clock;
    clock.start();
    job.Start(
        [](JobControl& control) {
            for (int i = 1; i <= kNotes; ++i) {
                control.Report(i, kNotes);
                if (i % 1000 == 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        },
        [&] { ended = true; }, [&](qint64 done, qint64) { shown.push_back(done); });
    ASSERT_TRUE(RunEventsUntil([&] { return ended; }));
    const qint64 elapsed = clock.elapsed();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), kNotes);
    EXPECT_LE(qint64(shown.size()), elapsed / BackgroundJob::kProgressIntervalMs + 2)
        << "in " << elapsed << " ms";
    for (size_t i = 1; i < shown.size(); ++i)
        EXPECT_LT(shown[i - 1], shown[i]);

    // The work waits, after a quick second note, until the caller saw it.
    std::atomic<qint64> seen{0};
    std::optional<bool> sawSecond;
    job.Start(
        [&](JobControl& control) {
            control.Report(1);
            control.Report(2);
            QElapsedTimer waited;
            waited.start();
            while (seen.load() != 2 && waited.elapsed() < 5000)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            return seen.load() == 2;
        },
        [&](bool saw) { sawSecond = saw; }, [&](qint64 done, qint64) { seen = done; });
    ASSERT_TRUE(RunEventsUntil([&] { return sawSecond.has_value(); }));
    EXPECT_TRUE(*sawSecond) << "the latest note arrived while the work still ran";
}

// Cancelling asks the work to stop and still delivers what it returned;
// dropping (a new start, Stop, the job's end) delivers nothing more, and
// Stop returns only once the work has.
TEST(BackgroundJob, CancelStopsTheWorkAndDroppedJobsDeliverNothing) {
    const auto untilCancelled = [](JobControl& control) {
        int rounds = 0;
        while (!control.Cancelled()) {
            control.Report(++rounds);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return rounds;
    };

    BackgroundJob job;
    std::optional<int> rounds;
    job.Start(
        untilCancelled, [&](int n) { rounds = n; }, [&](qint64, qint64) { job.Cancel(); });
    ASSERT_TRUE(RunEventsUntil([&] { return rounds.has_value(); }));
    EXPECT_GE(*rounds, 1);

    int firstDelivered = 0, secondDelivered = 0;
    job.Start(
        untilCancelled, [&](int) { ++firstDelivered; }, [&](qint64, qint64) { ++firstDelivered; });
    ASSERT_TRUE(RunEventsUntil([&] { return firstDelivered > 0; }));
    firstDelivered = 0;
    job.Start([](JobControl&) { return 7; }, [&](int n) { secondDelivered = n; });
    ASSERT_TRUE(RunEventsUntil([&] { return secondDelivered != 0; }));
    EXPECT_EQ(secondDelivered, 7);

    std::atomic<bool> returned{false};
    bool delivered = false;
    job.Start(
        [&](JobControl& control) {
            while (!control.Cancelled())
                control.Report(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            returned = true;
        },
        [&] { delivered = true; });
    job.Stop();
    EXPECT_TRUE(returned) << "Stop returns once the work has";
    EXPECT_FALSE(job.Running());

    {
        BackgroundJob gone;
        gone.Start(
            untilCancelled, [&](int) { delivered = true; },
            [&](qint64, qint64) { delivered = true; });
    }
    RunEventsUntil([] { return false; }, 300);
    EXPECT_EQ(firstDelivered, 0) << "a job replaced by another delivers nothing more";
    EXPECT_FALSE(delivered) << "a stopped or destroyed job delivers nothing";
}

// Work that runs on a worker without an event loop (a clip export) collects
// a job of its own with Wait: the last progress and the result arrive there,
// at once and once.
TEST(BackgroundJob, WaitDeliversOnAThreadWithoutAnEventLoop) {
    std::vector<qint64> progress;
    std::optional<int> result;
    int resultsDelivered = 0;
    bool onWaiter = false;
    std::thread waiter([&] {
        BackgroundJob job;
        job.Start(
            [](JobControl& control) {
                for (int i = 1; i <= 5; ++i)
                    control.Report(i, 5);
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                return 9;
            },
            [&](int value) {
                result = value;
                ++resultsDelivered;
                onWaiter = QThread::currentThread() != qApp->thread();
            },
            [&](qint64 done, qint64) { progress.push_back(done); });
        job.Wait();
        EXPECT_FALSE(job.Running());
        job.Wait(); // nothing left to wait for
    });
    waiter.join();
    ASSERT_TRUE(result);
    EXPECT_EQ(*result, 9);
    EXPECT_EQ(resultsDelivered, 1);
    EXPECT_TRUE(onWaiter);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), 5);
}

} // namespace
