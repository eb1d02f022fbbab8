#include <gtest/gtest.h>

#include "app/ident_phase.h"
#include "app/proc_timer.h"

namespace {

class ProcTimerTest : public ::testing::Test {
  protected:
    std::uint32_t now_ = 5000;
    int connectionSteps_ = 0;
    int measureSteps_ = 0;
    ProcTimer timer_{[this] { return now_; }};

    void SetUp() override {
        timer_.Hooks().connectionStep = [this] { ++connectionSteps_; };
        timer_.Hooks().measureStep = [this] { ++measureSteps_; };
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
    timer_.Hooks().connectionStep = [this, &nestedMeasures] {
        ++connectionSteps_;
        EXPECT_TRUE(timer_.TickInProgress());
        now_ += 5000;
        timer_.Tick();  // a device wait pumping the event loop lets the timer in
        nestedMeasures = measureSteps_;
    };
    TickAt(100);
    EXPECT_EQ(connectionSteps_, 1);
    EXPECT_EQ(nestedMeasures, 0);
    EXPECT_EQ(measureSteps_, 1);
    EXPECT_FALSE(timer_.TickInProgress());
}

TEST_F(ProcTimerTest, EmptyStepsAreSkipped) {
    ProcTimer bare([] { return 0u; });
    bare.Tick();
    EXPECT_FALSE(bare.TickInProgress());
}

TEST(DecideIdentification, WaitsASecondAfterTheConnectionIsFirstSeen) {
    IdentState state;
    EXPECT_EQ(DecideIdentification(state, false, true, 700), IdentAction::RememberConnectionMoment);
    state.connectionMoment = 700;
    EXPECT_EQ(DecideIdentification(state, true, true, 1699), IdentAction::None);
    EXPECT_EQ(DecideIdentification(state, true, true, 1700), IdentAction::Identify);
    state.connectionMoment = 0xFFFFFF00u;
    EXPECT_EQ(DecideIdentification(state, true, true, 0x000002E8u), IdentAction::Identify);
    EXPECT_EQ(DecideIdentification(state, true, true, 0x00000010u), IdentAction::None);
}

TEST(DecideIdentification, ALostConnectionResetsOnlyOutsideLongOperations) {
    IdentState state;
    state.phase = IdentPhase::Done;
    EXPECT_EQ(DecideIdentification(state, true, true, 0), IdentAction::None);
    EXPECT_EQ(DecideIdentification(state, false, false, 0), IdentAction::None);
    EXPECT_EQ(DecideIdentification(state, false, true, 0), IdentAction::ResetToWaiting);
}

}  // namespace
