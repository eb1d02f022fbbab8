#include <gtest/gtest.h>

#include "app/proc_timer.h"

#include <future>

#include "base/device_worker.h"

namespace {

class ProcTimerTest : public ::testing::Test {
  protected:
    std::uint32_t now_ = 5000;
    int connectionSteps_ = 0;
    int measureSteps_ = 0;
    ProcTimer timer_{[this] { return now_; }};

    void SetUp() override {
        timer_.SetConnectionStep([this] { ++connectionSteps_; });
        timer_.AddStep([this] { ++measureSteps_; });
    }
    void TickAt(std::uint32_t at) {
        now_ = at;
        timer_.Tick();
    }
};

TEST_F(ProcTimerTest, ConnectionStepRunsAtMostOncePerSecond) {
    TickAt(5000);
    EXPECT_EQ(connectionSteps_, 1) << "the first tick connects at once";
    for (std::uint32_t at = 5100; at <= 6000; at += 100) {
        TickAt(at);
    }
    EXPECT_EQ(connectionSteps_, 1) << "exactly 1000 ms is not yet more than a second";
    TickAt(6001);
    EXPECT_EQ(connectionSteps_, 2);
    EXPECT_EQ(measureSteps_, 12) << "the measurement step runs on every tick";
}

TEST_F(ProcTimerTest, PacingSurvivesTheTickCounterWrapping) {
    TickAt(0xFFFFFE00u);
    TickAt(0x00000100u);  // 512 ms later
    EXPECT_EQ(connectionSteps_, 1);
    TickAt(0x000001E9u);  // 1001 ms after the first
    EXPECT_EQ(connectionSteps_, 2);
}

TEST_F(ProcTimerTest, LinkStepLeavesThePageStepsOut) {
    int identifications = 0;
    timer_.SetIdentificationStep([&] { ++identifications; });
    now_ = 5000;
    timer_.LinkStep();
    now_ = 5500;
    timer_.LinkStep();
    EXPECT_EQ(connectionSteps_, 1) << "the connection step keeps its pace";
    EXPECT_EQ(identifications, 2) << "identification runs on every call";
    EXPECT_EQ(measureSteps_, 0);
    timer_.ClearSteps();
    TickAt(9000);
    EXPECT_EQ(connectionSteps_, 1);
    EXPECT_EQ(identifications, 2);
    EXPECT_EQ(measureSteps_, 0);
}

// The main timer posts each tick to the device worker, whose tick guard keeps
// a tick that comes while the last one still runs from piling up behind it.
TEST_F(ProcTimerTest, ATickThatComesWhileOneRunsIsDropped) {
    StopSignal stop;
    DeviceWorker worker(stop);
    std::promise<void> entered;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    timer_.SetConnectionStep([&] {
        ++connectionSteps_;
        entered.set_value();
        released.wait();
    });
    const auto tick = [this] { timer_.Tick(); };
    worker.PostPeriodic(tick);
    entered.get_future().wait();
    worker.PostPeriodic(tick);  // dropped: the step counts below stay at one
    EXPECT_TRUE(worker.PeriodicPending());
    release.set_value();

    std::promise<void> drained;
    worker.Post([&] { drained.set_value(); });
    drained.get_future().wait();
    EXPECT_EQ(connectionSteps_, 1);
    EXPECT_EQ(measureSteps_, 1);
    EXPECT_FALSE(worker.PeriodicPending());
}

}  // namespace
