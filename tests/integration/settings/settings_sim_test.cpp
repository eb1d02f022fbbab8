#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "base/language.h"
#include "base/ui_thread.h"
#include "base/worker_dialogs.h"
#include "protocol/device_models.h"
#include "settings/settings_actions.h"
#include "support/local_time.h"
#include "support/log_lines.h"
#include "support/recording_dialogs.h"
#include "support/recording_host.h"
#include "support/sim_on_stack.h"
#include "support/sim_profiles.h"

namespace {

constexpr int kGroupMain = 0x01;
constexpr int kCodeTimeWrite = 0x0B;
constexpr int kCodeParRead = 0x0E;
constexpr int kCodeParWrite = 0x0F;

const std::vector<std::uint16_t> kK310Order{6, 9, 7, 8, 3, 14, 13, 15, 16, 17, 18, 19, 20, 21, 22};
const std::vector<std::uint16_t> kK520Order{6, 9, 7, 8, 3, 14, 13, 15, 16, 17, 18, 19, 20, 21};

// A simulated dosimeter of a model and profile with a stopped clock in a
// private port folder, and the settings actions of its model over the real
// device stack.
class SettingsOnSimulator : public ::testing::TestWithParam<std::tuple<SimModel, std::string>> {
  protected:
    SettingsOnSimulator() : actions_(Model(), Environment()) {
        SetUiLanguage(Language::English);
        EXPECT_EQ(rig_.Error(), "");
    }
    ~SettingsOnSimulator() override { SetUiLanguage(Language::Russian); }

    static bool K310() { return std::get<0>(GetParam()) == SimModel::K310; }
    static SimOptions Options() {
        SimOptions options = WithProfile(SimOptions{}, std::get<1>(GetParam()));
        options.model = std::get<0>(GetParam());
        options.deviceTime = 0;
        return options;
    }
    static const SupportedModel& Model() { return *FindSupportedModel(K310() ? 310 : 520); }
    const std::vector<std::uint16_t>& Order() const { return K310() ? kK310Order : kK520Order; }
    DeviceStackOptions StackOptions() { return {.stop = &host_.Stop(), .log = &log_}; }
    SettingsEnvironment Environment() {
        return {rig_.Stack().Commands(),
                host_,
                shownDialogs_,
                log_,
                [this](const std::string& caption) {
                    accessCaptions_.push_back(caption);
                    return true;
                },
                [this] {
                    ++restarts_;
                    return true;
                },
                [this] { return pcTime_; }};
    }

    // The parameter ids of every request with `code`, in the order the device saw them.
    std::vector<std::uint16_t> RequestedIds(int code) {
        std::vector<std::uint16_t> ids;
        for (const TranscriptEntry& entry : rig_.Sim().Requests()) {
            if (entry.group == kGroupMain && entry.code == code && entry.data.size() >= 2) {
                ids.push_back(static_cast<std::uint16_t>(entry.data[0] | entry.data[1] << 8));
            }
        }
        return ids;
    }
    std::map<std::string, int> Codes() {
        std::map<std::string, int> codes;
        const SettingsValues& values = actions_.State().values;
        for (std::size_t i = 0; i < values.codes.size(); ++i) {
            codes[values.model->settings[i].key] = values.codes[i].value_or(-1);
        }
        return codes;
    }
    void ExpectFrameRestored() {
        EXPECT_TRUE(host_.linkCheckEnabled);
        EXPECT_TRUE(host_.pagesEnabled);
        EXPECT_FALSE(host_.busy);
    }

    AppLog log_;
    RecordingDialogs dialogs_;
    RecordingHost host_;
    // As in the window and the command line: no box once a stop was requested.
    InlineUiThread ui_;
    WorkerDialogs shownDialogs_{dialogs_, ui_, host_.Stop()};
    SimOnStack rig_{Options(), StackOptions(), 6, SimOnStack::StoppedClock()};
    std::vector<std::string> accessCaptions_;
    int restarts_ = 0;
    std::tm pcTime_ = LocalTime(2026, 12, 9, 14, 30, 5);
    SettingsActions actions_;
};

// The main flows (read, save, clock, backup and restore) run on every profile.
using SettingsFlows = SettingsOnSimulator;

TEST_P(SettingsFlows, ReadsInTheModelsOrderAndShowsWhatTheDeviceHolds) {
    rig_.ForceParameter(3, 0);
    rig_.ForceParameter(4, 1500);
    rig_.ForceParameter(16, 2);
    actions_.Read();
    std::vector<std::uint16_t> expected = Order();
    expected.push_back(4);
    EXPECT_EQ(RequestedIds(kCodeParRead), expected);
    EXPECT_EQ(accessCaptions_, (std::vector<std::string>{"Read Settings"}));
    EXPECT_TRUE(dialogs_.shown.empty());
    // Parameter 3 holds 0: sound on for the K310, off for the K520.
    EXPECT_EQ(Codes()["sound"], K310() ? 1 : 0);
    EXPECT_EQ(Codes()["brightness"], 2);
    EXPECT_EQ(actions_.State().calibrationText, "9,99");
    EXPECT_EQ(actions_.State().clockText, "[01.01.2000]-[00:00:00]");
    EXPECT_FALSE(actions_.State().values.AnyUndefined());
    ExpectFrameRestored();
}

TEST_P(SettingsOnSimulator, OutOfListCodesStayUndefinedAndBlockTheSave) {
    rig_.ForceParameter(9, 3);
    rig_.ForceParameter(7, 16);
    rig_.ForceParameter(21, 24);
    actions_.Read();
    EXPECT_TRUE(dialogs_.errors.empty());
    EXPECT_EQ(actions_.State().values.UndefinedKeys(),
              (std::vector<std::string>{"units", "background_threshold",
                                        K310() ? "alarm_hour" : "measure_method"}));
    rig_.Sim().ClearTranscript();
    actions_.Save();
    EXPECT_EQ(dialogs_.errors,
              (std::vector<std::string>{"Some Settings undefined\n\rSaving unavaliable"}));
    EXPECT_TRUE(dialogs_.questions.empty());
    EXPECT_TRUE(RequestedIds(kCodeParWrite).empty());
    ExpectFrameRestored();
}

TEST_P(SettingsFlows, SavesEveryParameterInOrderAndOffersTheRestart) {
    actions_.Read();
    actions_.State().values.Set("sound", 1);
    actions_.State().values.Set("units", 1);
    actions_.State().values.Set("display_off", 60);
    rig_.Sim().ClearTranscript();
    dialogs_.answerYes = true;
    actions_.Save();
    EXPECT_EQ(RequestedIds(kCodeParWrite), Order());
    EXPECT_EQ(rig_.Parameter(3), K310() ? 0u : 1u);
    EXPECT_EQ(rig_.Parameter(9), 1u);
    EXPECT_EQ(rig_.Parameter(17), 60u);
    EXPECT_EQ(
        dialogs_.questions,
        (std::vector<std::string>{
            "Save Settings\n\rContinue?",
            "Settings successfully saved\n\rIt is reccomended Restart Device\n\rDo it Now?"}));
    EXPECT_EQ(restarts_, 1);
    EXPECT_TRUE(dialogs_.errors.empty());
    ExpectFrameRestored();
}

TEST_P(SettingsOnSimulator, AWriteFailingAtBrightnessKeepsWhatWasWrittenAndOffersNoRestart) {
    actions_.Read();
    actions_.State().values.Set("units", 2);
    actions_.State().values.Set("brightness", 3);
    actions_.State().values.Set("history_method", 0);
    // Parameter 16 is the ninth write: no answer to any of its sends arrives.
    rig_.Sim().SetFaults({FaultRule{FaultKind::Drop, kGroupMain, kCodeParWrite, 1, 8, 0, 0, 0}});
    dialogs_.answerYes = true;
    actions_.Save();
    EXPECT_EQ(dialogs_.errors, (std::vector<std::string>{"Error saving Settings"}));
    EXPECT_EQ(dialogs_.questions.size(), 1u);
    EXPECT_EQ(restarts_, 0);
    EXPECT_EQ(rig_.Parameter(9), 2u);
    EXPECT_EQ(rig_.Parameter(19), 1u);  // nothing after the failure
    EXPECT_EQ(CountLines(log_,
                         "# ERROR: \"Settings write failed at PAR[16]; written: 6, 9, 7, 8, 3, 14, "
                         "13, 15\""),
              1);
    ExpectFrameRestored();
}

// The write's answer carries the value the device holds: another value than
// the one written is a setting the device did not take.
TEST_P(SettingsOnSimulator, ASettingOrCalibrationTheDeviceDoesNotTakeFailsTheSaveNamingIt) {
    actions_.Read();
    actions_.State().values.Set("brightness", 3);
    rig_.Sim().WithModel([](DeviceModel& model) {
        model.Parameters().Keep(16);
        model.Parameters().Keep(4);
        return 0;
    });
    dialogs_.answerYes = true;
    actions_.Save();
    EXPECT_EQ(dialogs_.errors, (std::vector<std::string>{"Error saving Settings\n\rThe device did "
                                                         "not take the setting \"Display "
                                                         "Brightness\""}));
    EXPECT_EQ(dialogs_.questions.size(), 1u) << "no restart offered";
    EXPECT_EQ(RequestedIds(kCodeParWrite).back(), 16);
    EXPECT_EQ(rig_.Parameter(16), 1u);

    actions_.State().calibrationText = "1,55";
    actions_.SaveCalibration();
    EXPECT_EQ(dialogs_.errors.back(),
              "Error saving Calibration\n\rThe device did not take the setting \"Calibration "
              "Coefficient\"");
    EXPECT_TRUE(dialogs_.informations.empty());
    ExpectFrameRestored();
}

TEST_P(SettingsFlows, WritesThePcTimeAndShowsTheReadBack) {
    dialogs_.answerYes = true;
    actions_.WriteTime();
    const auto writes = rig_.Sim().Requests();
    const auto write = std::find_if(writes.begin(), writes.end(), [](const TranscriptEntry& e) {
        return e.group == kGroupMain && e.code == kCodeTimeWrite;
    });
    ASSERT_NE(write, writes.end());
    EXPECT_EQ(write->data, (std::vector<std::uint8_t>{5, 30, 14, 9, 12, 26, 3}));
    EXPECT_EQ(actions_.State().clockText, "[09.12.2026]-[14:30:05]");
    EXPECT_EQ(dialogs_.informations,
              (std::vector<std::string>{"Time written ti Device\n\r[09.12.2026]-[14:30:05]"}));
    ExpectFrameRestored();
}

TEST_P(SettingsOnSimulator, RefusesAPcDateTheDeviceCannotHoldAndSendsNothing) {
    pcTime_ = LocalTime(2100, 1, 1, 0, 0, 0);
    dialogs_.answerYes = true;
    actions_.WriteTime();
    EXPECT_EQ(rig_.Sim().CountRequests(kGroupMain, kCodeTimeWrite), 0u);
    EXPECT_EQ(dialogs_.errors.size(), 1u);
    dialogs_.answerYes = false;
    actions_.WriteTime();
    EXPECT_EQ(rig_.Sim().CountRequests(kGroupMain, kCodeTimeWrite), 0u);
    ExpectFrameRestored();
}

TEST_P(SettingsFlows, SettingsFileRestoredIntoTheDeviceReadsBackEqual) {
    actions_.Read();
    actions_.State().values.Set("dose_threshold", 3);
    actions_.State().values.Set("device_off", 0);
    actions_.State().calibrationText = "1,55";
    const std::string path = rig_.Folder() + "/settings.json";
    ASSERT_TRUE(actions_.SaveToFile(path));
    const auto saved = Codes();

    actions_.Default();
    actions_.Read();  // the device still has its own settings
    ASSERT_NE(Codes(), saved);
    ASSERT_TRUE(actions_.LoadFromFile(path));
    EXPECT_EQ(Codes(), saved);
    EXPECT_EQ(actions_.State().calibrationText, "1,55");
    EXPECT_TRUE(RequestedIds(kCodeParWrite).empty());  // loading sends nothing
    dialogs_.answerYes = true;
    actions_.Save();
    actions_.SaveCalibration();
    actions_.Read();
    EXPECT_EQ(Codes(), saved);
    EXPECT_EQ(rig_.Parameter(4), 155u);
}

TEST_P(SettingsOnSimulator, CalibrationIsCheckedNormalisedAndWritten) {
    dialogs_.answerYes = true;
    actions_.State().calibrationText = "1.5";
    actions_.SaveCalibration();
    EXPECT_EQ(rig_.Parameter(4), 150u);
    EXPECT_EQ(actions_.State().calibrationText, "1,50");
    EXPECT_EQ(accessCaptions_, (std::vector<std::string>{"Save Calibration"}));
    actions_.State().calibrationText = "10";
    actions_.SaveCalibration();
    EXPECT_EQ(rig_.Parameter(4), 150u);
    EXPECT_EQ(actions_.State().calibrationText, "10");
    EXPECT_EQ(dialogs_.errors,
              (std::vector<std::string>{"Error: K is to be from 0,1 to 9,99 [10]"}));
    ExpectFrameRestored();
}

TEST_P(SettingsOnSimulator, AnUnpluggedDeviceEndsTheReadWithItsErrorAndRestoresTheFrame) {
    rig_.Sim().SetFaults(
        {{.kind = FaultKind::Unplug, .group = kGroupMain, .code = kCodeParRead, .after = 4}});
    actions_.State().values.Set("sound", 0);
    actions_.Read();
    EXPECT_EQ(dialogs_.errors, (std::vector<std::string>{"Error reading Parameters"}));
    EXPECT_TRUE(actions_.State().values.Code("dose_threshold"));  // read before the fault
    EXPECT_EQ(actions_.State().values.Code("sound"), 0);          // kept
    EXPECT_TRUE(actions_.State().clockText.empty());
    ExpectFrameRestored();
}

TEST_P(SettingsOnSimulator, AnUnpluggedDeviceEndsTheSaveWithItsErrorAndRestoresTheFrame) {
    actions_.Read();
    rig_.Sim().SetFaults(
        {{.kind = FaultKind::Unplug, .group = kGroupMain, .code = kCodeParWrite, .after = 2}});
    dialogs_.answerYes = true;
    actions_.Save();
    EXPECT_EQ(dialogs_.errors, (std::vector<std::string>{"Error saving Settings"}));
    EXPECT_EQ(restarts_, 0);
    ExpectFrameRestored();
}

// A box after a stop request would hold the program's exit.
TEST_P(SettingsOnSimulator, AStoppingProgramSendsNothingMoreAndShowsNoBox) {
    host_.RequestStop();
    actions_.Read();
    EXPECT_TRUE(RequestedIds(kCodeParRead).empty());
    EXPECT_TRUE(dialogs_.errors.empty());
    EXPECT_TRUE(actions_.State().values.AnyUndefined()) << "nothing was read";
    ExpectFrameRestored();
}

std::string CaseName(const ::testing::TestParamInfo<std::tuple<SimModel, std::string>>& info) {
    return std::string(std::get<0>(info.param) == SimModel::K310 ? "K310" : "K520") + "_" +
           std::get<1>(info.param);
}

INSTANTIATE_TEST_SUITE_P(BothModels, SettingsOnSimulator,
                         ::testing::Combine(::testing::Values(SimModel::K310, SimModel::K520),
                                            ::testing::Values("classic")),
                         CaseName);
INSTANTIATE_TEST_SUITE_P(EveryProfile, SettingsFlows,
                         ::testing::Combine(::testing::Values(SimModel::K310, SimModel::K520),
                                            ::testing::ValuesIn(SimProfileNames())),
                         CaseName);

}  // namespace
