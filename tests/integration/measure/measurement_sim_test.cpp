#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/language.h"
#include "measure/measure_commands_device.h"
#include "measure/measurement.h"
#include "protocol/number_texts.h"
#include "support/recording_dialogs.h"
#include "support/sim_on_stack.h"
#include "support/sim_profiles.h"

namespace {

// A simulated K310 with its clock stopped (so its live values hold still),
// plugged into a private port folder, and the measurement logic over the real
// device stack. The measurement's own clock is a fake one that each step moves
// on by one timer tick.
class MeasurementOnSimulatorTest : public ::testing::Test {
  protected:
    explicit MeasurementOnSimulatorTest(const std::string& profile = "classic")
        : rig_(WithProfile(SimOptions{}, profile), StackOptions(), 5, SimOnStack::StoppedClock()),
          device_(rig_.Stack().Commands(), &log_),
          measurement_(
              device_, [](std::string&) { return true; }, dialogs_, [this] { return now_; }) {
        SetUiLanguage(Language::English);
        dialogs_.answerYes = true;
        EXPECT_EQ(rig_.Error(), "");
    }
    ~MeasurementOnSimulatorTest() override { SetUiLanguage(Language::Russian); }

    DeviceStackOptions StackOptions() { return {.dialogs = &linkDialogs_, .log = &log_}; }

    // `count` steps of the timer.
    void Tick(int count = 1) {
        for (int i = 0; i < count; ++i) {
            now_ += 100;
            measurement_.MeasureStep();
        }
    }
    void SetUnits(std::uint32_t units) {
        rig_.Sim().WithModel([units](DeviceModel& model) {
            model.Parameters().Force(DeviceParameters::kUnits, units);
            model.Advance();
            return 0;
        });
    }
    std::uint32_t Word(std::uint32_t units) {
        return rig_.Sim().WithModel([units](DeviceModel& model) {
            return units >= 2 ? model.Live().CountWord() : model.Live().RateWord(units);
        });
    }
    std::vector<std::uint32_t> CommandWords() {
        return rig_.Sim().WithModel([](DeviceModel& model) { return model.CommandWords(); });
    }

    AppLog log_;
    RecordingDialogs linkDialogs_;
    RecordingDialogs dialogs_;
    SimOnStack rig_;
    CommandsMeasureDevice device_;
    std::uint32_t now_ = 0;
    Measurement measurement_;
};

class MeasurementOnEachProfile : public MeasurementOnSimulatorTest,
                                 public ::testing::WithParamInterface<std::string> {
  protected:
    MeasurementOnEachProfile() : MeasurementOnSimulatorTest(GetParam()) {}
};

TEST_P(MeasurementOnEachProfile, ShowsTheDevicesValuesInEachUnitSystem) {
    SetUnits(0);
    ASSERT_TRUE(measurement_.ReadMeasurement(true));
    EXPECT_EQ(measurement_.State().fonText, HundredthsText(Word(0)) + " uSv/h");
    EXPECT_GT(measurement_.State().fonLevel, 0);
    const std::string dose = rig_.Sim().WithModel([](DeviceModel& model) {
        return model.Live().DoseText() + " " + model.Live().DoseUnitText();
    });
    EXPECT_EQ(measurement_.State().doseText, dose);

    SetUnits(1);
    ASSERT_TRUE(measurement_.ReadMeasurement(false));
    EXPECT_EQ(measurement_.State().fonText, std::to_string(Word(1)) + " uR/h");

    SetUnits(2);
    ASSERT_TRUE(measurement_.ReadMeasurement(false));
    EXPECT_EQ(measurement_.State().fonText, std::to_string(Word(2) / 2) + " CPM");
    EXPECT_TRUE(linkDialogs_.errors.empty());
}

TEST_F(MeasurementOnSimulatorTest, AutomaticReadingReadsAddressesOnceAndDoseOnTheFirstRead) {
    Tick(25);  // blank, start, then reads at ticks 3, 13 and 23
    EXPECT_EQ(rig_.Sim().CountRequests(0x01, 0x0E), 5u + 3u);
    EXPECT_EQ(rig_.Sim().CountRequests(0x01, 0x02), 2u * 3u + 2u);
    EXPECT_EQ(CommandWords(), (std::vector<std::uint32_t>{device_params::kDoseRefresh}));
    EXPECT_NE(measurement_.State().fonText, "--------");
}

TEST_P(MeasurementOnEachProfile, DoseResetReachesTheDevice) {
    measurement_.DoseResetClick();
    EXPECT_EQ(dialogs_.informations, (std::vector<std::string>{"Accumulated Dose\nReseted"}));
    EXPECT_EQ(CommandWords(), (std::vector<std::uint32_t>{device_params::kDoseReset}));
    // Written once: the timer's next steps do not send it again.
    Tick(2);
    EXPECT_EQ(CommandWords(), (std::vector<std::uint32_t>{device_params::kDoseReset}));
}

TEST_F(MeasurementOnSimulatorTest, DroppedMemoryReadBlanksAndTheNextCycleReadsAddressesAgain) {
    Tick(3);  // first read
    ASSERT_NE(measurement_.State().fonText, "--------");
    rig_.Sim().SetFaults({FaultRule{FaultKind::Drop, 0x01, 0x02, 1, 0, 3, 0, 0}});
    Tick(10);  // the second read fails after three sends
    EXPECT_EQ(measurement_.State().fonText, "--------");
    EXPECT_EQ(measurement_.State().fonLevel, 0);
    const std::size_t before = rig_.Sim().CountRequests(0x01, 0x0E);
    Tick(3);  // blank, start, read
    EXPECT_EQ(rig_.Sim().CountRequests(0x01, 0x0E), before + 6u);
    EXPECT_NE(measurement_.State().fonText, "--------");
    const auto lines = log_.Lines();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("Read MEM[0x") != std::string::npos;
    }));
}

INSTANTIATE_TEST_SUITE_P(EveryProfile, MeasurementOnEachProfile,
                         ::testing::ValuesIn(SimProfileNames()), ProfileTestName);

}  // namespace
