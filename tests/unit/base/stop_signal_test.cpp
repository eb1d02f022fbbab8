#include "base/stop_signal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

TEST(StopSignal, WakersRunOnceOnTheRequestAndAtOnceWhenAddedAfterIt) {
    StopSignal stop;
    int early = 0;
    int removed = 0;
    int scoped = 0;
    stop.AddWaker([&] { ++early; });
    stop.RemoveWaker(stop.AddWaker([&] { ++removed; }));
    {
        const StopWaker waker(&stop, [&] { ++scoped; });
    }
    EXPECT_EQ(early, 0);
    EXPECT_FALSE(stop.StopRequested());

    stop.RequestStop();
    stop.RequestStop();
    EXPECT_TRUE(stop.StopRequested());
    EXPECT_EQ(early, 1);
    EXPECT_EQ(removed, 0);
    EXPECT_EQ(scoped, 0);

    int late = 0;
    {
        const StopWaker waker(&stop, [&] { ++late; });
        EXPECT_EQ(late, 1);
    }
    EXPECT_EQ(late, 1);
    // A waker on no signal is simply never run.
    const StopWaker none(nullptr, [&] { ++late; });
    EXPECT_EQ(late, 1);
}

TEST(StopSignal, SleepForRunsItsTimeWithoutAStopAndEndsEarlyOnOne) {
    StopSignal stop;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(stop.SleepFor(20ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 20ms);

    // Requested from another thread, before or during the sleep: either way an
    // hour-long sleep ends at once with false.
    std::thread stopper([&] { stop.RequestStop(); });
    EXPECT_FALSE(stop.SleepFor(std::chrono::hours(1)));
    stopper.join();
    EXPECT_FALSE(stop.SleepFor(std::chrono::hours(1)));
}

}  // namespace
