#include <gtest/gtest.h>

#include <functional>

#include <vector>

#include "unit/measure/measurement_fixture.h"

namespace {

class AutomaticReadTest : public MeasurementTest {
  protected:
    // Runs ticks and returns the clock readings of the ticks that read the device.
    std::vector<std::uint32_t> ReadTimes(int ticks) {
        std::vector<std::uint32_t> times;
        for (int i = 0; i < ticks; ++i) {
            const long before = CountParameterReads(9);
            Tick();
            if (CountParameterReads(9) != before) {
                times.push_back(now_);
            }
        }
        return times;
    }
    void OpenPageAfterBlank() {
        measurement_.State().activePage = 2;
        Ticks(3);
        ASSERT_EQ(measurement_.AutoState(), MeasureAutoState::Waiting);
        measurement_.State().activePage = 0;
    }
};

TEST_F(AutomaticReadTest, FirstTickBlanksThePage) {
    measurement_.State().activePage = 1;
    Tick();
    EXPECT_EQ(measurement_.State().fonText, "--------");
    EXPECT_EQ(measurement_.State().doseText, "--------");
    EXPECT_EQ(measurement_.State().fonIndicator, IndicatorColour::ButtonFace);
    EXPECT_EQ(measurement_.State().doseIndicator, IndicatorColour::ButtonFace);
    Ticks(5);
    EXPECT_EQ(measurement_.AutoState(), MeasureAutoState::Waiting);
    EXPECT_TRUE(device_.parameterReads.empty());
}

TEST_F(AutomaticReadTest, ReadsTwoTicksAfterThePageOpensThenEverySecondAcrossTheWrap) {
    now_ = 0xFFFFF000u;
    OpenPageAfterBlank();
    const std::uint32_t opened = now_;
    const auto times = ReadTimes(42);
    ASSERT_EQ(times.size(), 5u);
    EXPECT_EQ(times[0], opened + 2 * kTickMs);
    for (std::size_t i = 1; i < times.size(); ++i) {
        EXPECT_EQ(times[i] - times[i - 1], 1000u) << "read " << i;
    }
    EXPECT_LT(times.back(), opened);  // the tick count wrapped meanwhile
    EXPECT_EQ(measurement_.State().fonText, "12,34 uSv/h");
}

TEST_F(AutomaticReadTest, DoseOnTheFirstAndEveryTenthRead) {
    OpenPageAfterBlank();
    Tick();
    const auto times = ReadTimes(2 + 20 * 10);
    ASSERT_EQ(times.size(), 21u);
    EXPECT_EQ(CountWrites(Measurement::kCommandRefreshDose), 3);
    EXPECT_EQ(measurement_.State().doseText, "0,05 uSv");
}

TEST_F(AutomaticReadTest, FailedReadBlanksAndRestartsWithFreshAddresses) {
    OpenPageAfterBlank();
    ASSERT_EQ(ReadTimes(2).size(), 1u);
    ASSERT_EQ(CountParameterReads(0xC001), 1);

    device_.failingAddresses = {FakeMeasureDevice::kLevelAt + 2};
    ASSERT_EQ(ReadTimes(10).size(), 1u);
    EXPECT_EQ(measurement_.State().fonText, "--------");
    EXPECT_EQ(measurement_.AutoState(), MeasureAutoState::Blank);

    device_.failingAddresses.clear();
    device_.parameters[0xC001] = 0x30000000;  // the device moved its value
    device_.SetWord(0x30000000, 777);
    const long refreshesBefore = CountWrites(Measurement::kCommandRefreshDose);
    ASSERT_EQ(ReadTimes(3).size(), 1u);  // Blank, Waiting, then the read
    EXPECT_EQ(CountParameterReads(0xC001), 2);
    EXPECT_EQ(measurement_.State().fonText, "7,77 uSv/h");
    EXPECT_EQ(CountWrites(Measurement::kCommandRefreshDose), refreshesBefore + 1);
}

TEST_F(AutomaticReadTest, LeavingThePageOrUntickingAutoBlanksUntilBack) {
    const auto leavePage = [this] { measurement_.State().activePage = 3; };
    const auto untickAuto = [this] { measurement_.AutoReadClick(false); };
    const auto comeBack = [this] {
        measurement_.State().activePage = 0;
        measurement_.AutoReadClick(true);
    };
    OpenPageAfterBlank();
    const std::function<void()> ways[] = {leavePage, untickAuto};
    for (const auto& leave : ways) {
        ASSERT_FALSE(ReadTimes(12).empty());
        ASSERT_EQ(measurement_.State().fonText, "12,34 uSv/h");

        leave();
        EXPECT_TRUE(ReadTimes(12).empty());
        EXPECT_EQ(measurement_.State().fonText, "--------");
        EXPECT_EQ(measurement_.AutoState(), MeasureAutoState::Waiting);

        comeBack();
        EXPECT_FALSE(measurement_.State().readEnabled);
        const auto times = ReadTimes(2);
        ASSERT_EQ(times.size(), 1u);
        EXPECT_EQ(times[0], now_);
    }
}

TEST_F(AutomaticReadTest, UntickedAutoEnablesASingleReadWithDose) {
    measurement_.AutoReadClick(false);
    EXPECT_TRUE(measurement_.State().readEnabled);
    Ticks(5);
    EXPECT_TRUE(device_.parameterReads.empty());

    bool enabledDuringRead = true;
    measurement_.SetStateObserver([&] {
        if (CountParameterReads(9) > 0) {
            enabledDuringRead = enabledDuringRead && measurement_.State().readEnabled;
        }
    });
    measurement_.ReadClick();
    EXPECT_FALSE(enabledDuringRead);
    EXPECT_TRUE(measurement_.State().readEnabled);
    EXPECT_EQ(measurement_.State().fonText, "12,34 uSv/h");
    EXPECT_EQ(measurement_.State().doseText, "0,05 uSv");

    measurement_.AutoReadClick(true);
    EXPECT_FALSE(measurement_.State().readEnabled);
}

}  // namespace
