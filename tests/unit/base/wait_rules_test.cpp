#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/wait_rules.h"

namespace {

// The front end's loop: deferred actions wait here until the test runs them.
class WaitRulesTest : public ::testing::Test {
  protected:
    void RunLoop() {
        while (!loop_.empty()) {
            auto action = std::move(loop_.front());
            loop_.erase(loop_.begin());
            action();
        }
    }

    std::vector<std::string> done_;
    std::vector<std::function<void()>> loop_;
    int pumps_ = 0;
    WaitRules rules_{[this](std::chrono::milliseconds) { ++pumps_; },
                     [this](std::function<void()> action) { loop_.push_back(std::move(action)); }};
};

TEST_F(WaitRulesTest, ActionsOutsideFramesRunAtOnceInAFrameOfTheirOwn) {
    bool inFrame = false;
    rules_.RunOutsideFrames([&] { inFrame = rules_.InFrame(); });
    EXPECT_TRUE(inFrame);
    EXPECT_FALSE(rules_.InFrame());
    EXPECT_TRUE(loop_.empty());
}

TEST_F(WaitRulesTest, ActionsInsideFramesRunFromTheLoopInOrderAfterTheLastFrame) {
    {
        WaitRules::Frame outer(&rules_);
        {
            WaitRules::Frame inner(&rules_);
            rules_.RunOutsideFrames([&] { done_.push_back("click"); });
            rules_.WhenNoFrame([&] { done_.push_back("teardown"); });
        }
        EXPECT_TRUE(loop_.empty()) << "an outer frame still stands";
    }
    EXPECT_TRUE(done_.empty()) << "never inside the caller of the last frame";
    RunLoop();
    EXPECT_EQ(done_, (std::vector<std::string>{"click", "teardown"}));
}

TEST_F(WaitRulesTest, AnActionFromTheLoopWaitsAgainWhenAFrameWasTakenMeanwhile) {
    {
        WaitRules::Frame frame(&rules_);
        rules_.WhenNoFrame([&] { done_.push_back("teardown"); });
    }
    {
        // A tick took a frame before the loop ran the deferred teardown.
        WaitRules::Frame tick(&rules_);
        RunLoop();
        EXPECT_TRUE(done_.empty());
    }
    RunLoop();
    EXPECT_EQ(done_, (std::vector<std::string>{"teardown"}));
}

TEST_F(WaitRulesTest, AStopDropsQueuedUserActionsButNotTheTeardown) {
    {
        WaitRules::Frame frame(&rules_);
        rules_.RunOutsideFrames([&] { done_.push_back("click"); });
        rules_.WhenNoFrame([&] { done_.push_back("teardown"); });
        rules_.RequestStop();
    }
    RunLoop();
    rules_.RunOutsideFrames([&] { done_.push_back("late click"); });
    EXPECT_EQ(done_, (std::vector<std::string>{"teardown"}));
}

TEST_F(WaitRulesTest, PumpGivesUpWithoutPumpingOnceAStopWasRequested) {
    EXPECT_TRUE(rules_.Pump());
    EXPECT_EQ(pumps_, 1);
    WaitRules stopping{[&](std::chrono::milliseconds) { stopping.RequestStop(); }};
    EXPECT_FALSE(stopping.Pump()) << "a stop arriving inside the pump";
    EXPECT_FALSE(stopping.Pump());
    rules_.RequestStop();
    EXPECT_FALSE(rules_.Pump());
    EXPECT_EQ(pumps_, 1);
}

TEST_F(WaitRulesTest, WithoutALoopQueuedActionsRunWhenTheLastFrameEnds) {
    WaitRules bare;
    {
        WaitRules::Frame frame(&bare);
        bare.RunOutsideFrames([&] { done_.push_back(bare.InFrame() ? "framed" : "bare"); });
        EXPECT_TRUE(done_.empty());
    }
    EXPECT_EQ(done_, (std::vector<std::string>{"framed"}));
    WaitRules::Frame none(nullptr);
    EXPECT_FALSE(bare.InFrame());
}

}  // namespace
