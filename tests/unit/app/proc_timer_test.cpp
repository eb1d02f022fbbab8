#include <gtest/gtest.h>

#include "app/proc_timer.h"

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

TEST_F(ProcTimerTest, NestedTickReturnsAtOnce) {
    int nestedMeasures = -1;
    timer_.SetConnectionStep([this, &nestedMeasures] {
        ++connectionSteps_;
        EXPECT_TRUE(timer_.TickInProgress());
        now_ += 5000;
        timer_.Tick();  // a device wait pumping the event loop lets the timer in
        nestedMeasures = measureSteps_;
    });
    TickAt(100);
    EXPECT_EQ(connectionSteps_, 1);
    EXPECT_EQ(nestedMeasures, 0);
    EXPECT_EQ(measureSteps_, 1);
    EXPECT_FALSE(timer_.TickInProgress());
}

TEST_F(ProcTimerTest, ATickIsAFrameAndNoneRunsOnceAStopWasRequested) {
    WaitRules waits;
    ProcTimer timer([this] { return now_; }, &waits);
    bool inFrame = false;
    int steps = 0;
    timer.AddStep([&] {
        inFrame = waits.InFrame();
        ++steps;
    });
    timer.Tick();
    EXPECT_TRUE(inFrame);
    EXPECT_FALSE(waits.InFrame());
    waits.RequestStop();
    timer.Tick();
    EXPECT_EQ(steps, 1);
}

}  // namespace
