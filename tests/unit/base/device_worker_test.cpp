#include "base/device_worker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

// Waits for every job posted so far: jobs run in order, so a marker posted
// last runs after them.
void Drain(DeviceWorker& worker) {
    std::promise<void> done;
    worker.Post([&] { done.set_value(); });
    ASSERT_EQ(done.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
}

// A job that holds the worker until the test lets it go.
class Gate {
  public:
    DeviceWorker::Job Job() {
        return [this] {
            entered_.set_value();
            released_.wait();
        };
    }
    void WaitEntered() { entered_.get_future().wait(); }
    void Open() { release_.set_value(); }

  private:
    std::promise<void> entered_;
    std::promise<void> release_;
    std::shared_future<void> released_ = release_.get_future().share();
};

TEST(DeviceWorker, RunsJobsInPostOrderOnOneThreadOfItsOwn) {
    StopSignal stop;
    DeviceWorker worker(stop);
    EXPECT_FALSE(worker.OnWorker());
    std::mutex lock;
    std::vector<int> order;
    std::vector<std::thread::id> threads;
    bool allOnWorker = true;
    for (int i = 0; i < 5; ++i) {
        worker.Post([&, i] {
            std::lock_guard<std::mutex> guard(lock);
            order.push_back(i);
            threads.push_back(std::this_thread::get_id());
            allOnWorker = allOnWorker && worker.OnWorker();
        });
    }
    Drain(worker);
    std::lock_guard<std::mutex> guard(lock);
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(allOnWorker);
    for (const std::thread::id& id : threads) {
        EXPECT_EQ(id, threads.front());
    }
    EXPECT_NE(threads.front(), std::this_thread::get_id());
}

TEST(DeviceWorker, IsIdleOnlyWhenNoJobRunsOrWaits) {
    StopSignal stop;
    DeviceWorker worker(stop);
    Gate gate;
    worker.Post(gate.Job());
    gate.WaitEntered();
    EXPECT_FALSE(worker.Idle());
    gate.Open();
    Drain(worker);
    // The marker's promise is set inside the job; the worker counts as idle
    // once it has also left it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!worker.Idle() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    EXPECT_TRUE(worker.Idle());
}

TEST(DeviceWorker, PeriodicStepIsRefusedWhileOneIsPendingAndTakenAgainAfterItRan) {
    StopSignal stop;
    DeviceWorker worker(stop);
    Gate busy;
    worker.Post(busy.Job());
    busy.WaitEntered();

    int periodicRuns = 0;
    const auto periodic = [&] { ++periodicRuns; };
    // Queued behind a running job, not yet started: still pending.
    worker.PostPeriodic(periodic);
    EXPECT_TRUE(worker.PeriodicPending());
    worker.PostPeriodic(periodic);  // refused: one is pending
    bool otherRan = false;
    worker.Post([&] { otherRan = true; });  // other jobs are not held back
    busy.Open();
    Drain(worker);
    EXPECT_EQ(periodicRuns, 1);
    EXPECT_TRUE(otherRan);
    EXPECT_FALSE(worker.PeriodicPending());

    // While it runs it still counts as pending.
    Gate step;
    worker.PostPeriodic(step.Job());
    step.WaitEntered();
    worker.PostPeriodic(periodic);  // refused: it still runs
    step.Open();
    Drain(worker);
    worker.PostPeriodic(periodic);  // taken again
    Drain(worker);
    EXPECT_EQ(periodicRuns, 2);
}

TEST(DeviceWorker, ShutdownDropsQueuedJobsAndEndsAJobAsleepInAWait) {
    StopSignal stop;
    DeviceWorker worker(stop);
    std::promise<void> entered;
    bool slept = true;
    bool queuedRan = false;
    worker.Post([&] {
        entered.set_value();
        slept = stop.SleepFor(std::chrono::hours(1));
    });
    worker.Post([&] { queuedRan = true; });
    entered.get_future().wait();

    worker.Shutdown();  // joins the thread: nothing runs after it returns
    EXPECT_FALSE(slept);
    EXPECT_FALSE(queuedRan);
    EXPECT_TRUE(stop.StopRequested());
    EXPECT_TRUE(worker.Idle());
    EXPECT_FALSE(worker.PeriodicPending());

    worker.Post([&] { queuedRan = true; });
    worker.PostPeriodic([&] { queuedRan = true; });
    EXPECT_TRUE(worker.Idle()) << "jobs posted after the stop are dropped";
    worker.Shutdown();
    EXPECT_FALSE(queuedRan);
}

// A user interface thread that keeps what it is handed until the test runs it.
class HeldUiThread final : public UiThread {
  public:
    void Post(std::function<void()> action) override {
        std::lock_guard<std::mutex> guard(lock_);
        held_.push_back(std::move(action));
        if (held_.size() == expected_) {
            all_.set_value();
        }
    }
    bool IsCurrent() const override { return false; }
    void Expect(std::size_t count) { expected_ = count; }
    void RunAll() {
        ASSERT_EQ(all_.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
        std::lock_guard<std::mutex> guard(lock_);
        for (auto& action : held_) {
            action();
        }
    }

  private:
    std::mutex lock_;
    std::vector<std::function<void()>> held_;
    std::size_t expected_ = 0;
    std::promise<void> all_;
};

TEST(DeviceWorker, RunThenHandsEachResultToTheUiThreadAndNothingRunsThereEarly) {
    StopSignal stop;
    DeviceWorker worker(stop);
    HeldUiThread ui;
    ui.Expect(2);
    std::vector<std::string> shown;
    bool jobOnWorker = false;
    worker.RunThen(
        [&worker, &jobOnWorker] {
            jobOnWorker = worker.OnWorker();
            return std::string("read");
        },
        ui, [&shown](const std::string& result) { shown.push_back(result); });
    worker.RunThen([] {}, ui, [&shown] { shown.push_back("done"); });
    Drain(worker);
    EXPECT_TRUE(shown.empty());
    ui.RunAll();
    EXPECT_TRUE(jobOnWorker);
    EXPECT_EQ(shown, (std::vector<std::string>{"read", "done"}));
}

}  // namespace
