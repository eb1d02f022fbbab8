#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "firmware/firmware_update.h"
#include "firmware_rig.h"
#include "protocol/device_models.h"
#include "settings/settings_backup.h"
#include "settings/settings_file.h"
#include "sim/device_layout.h"
#include "support/language_guard.h"
#include "support/log_lines.h"

namespace firmware_testing {
namespace {

const std::string kSuccess = "Congratulations\n\rYour Device successfully\n\rupdated";
const std::string kRetry = "Error of Update\n\rTry again?";

class FirmwareUpdateRun : public FirmwareRig {
  protected:
    FirmwareUpdate::Outcome Update() {
        FirmwareContext context = Context();
        context.showProgress = [this](int percent) {
            if (percent > 0 && static_cast<int>(statuses.size()) == stopInStep) {
                host.RequestStop();
            }
        };
        update = std::make_unique<FirmwareUpdate>(
            context, Environment(), screens, answers,
            [this](const std::string& text, StatusStyle style) {
                statuses.push_back(text);
                EXPECT_EQ(style, StatusStyle::Warning);
                EXPECT_TRUE(host.busy) << "busy while a step runs";
                EXPECT_FALSE(host.pagesEnabled);
            },
            [this] { return Ready(); });
        update->KeepSettingsWith([this] {
            return BackUpDeviceSettings(session.Commands(), host, answers, log, keptFolder);
        });
        return update->Run();
    }

    void ExpectImagesWritten(std::uint16_t board, std::uint8_t revision) {
        const auto efl = *ExternalFlashImage(board);
        EXPECT_EQ(ExternalFlash(static_cast<std::uint32_t>(efl.size())), Bytes(efl));
        const auto cpu = *CpuImage(board, revision);
        EXPECT_EQ(MainProgram(static_cast<std::uint32_t>(cpu.size())), Bytes(cpu));
    }

    // The settings files kept so far.
    std::vector<std::string> KeptFiles() const { return FilesIn(keptFolder); }

    void ExpectHostRestored() {
        EXPECT_TRUE(host.linkCheckEnabled);
        EXPECT_TRUE(host.pagesEnabled);
        EXPECT_FALSE(host.busy);
    }

    LanguageGuard english{Language::English};
    ScriptedAnswers answers;
    int stopInStep = 0;
    ProgressScreens screens;
    std::unique_ptr<FirmwareUpdate> update;
    std::vector<std::string> statuses;
    std::string keptFolder = dir.Path() + "/kept";
};

SimOptions Outdated(SimModel model, int revision, std::uint16_t oldVersion,
                    std::uint16_t newVersion, const std::string& profile = "classic") {
    SimOptions options = Model(model, revision, oldVersion, profile);
    options.mainVersionAfterCpuWrite = newVersion;
    return options;
}

std::string Hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%08llX", static_cast<unsigned long long>(value));
    return text;
}

// The whole update on devices that keep their records below the program,
// above it and in another memory area, and restart by re-plugging or in
// silence on the same port.
class FirmwareUpdateOnProfile : public FirmwareUpdateRun,
                                public ::testing::WithParamInterface<std::string> {};

INSTANTIATE_TEST_SUITE_P(Profiles, FirmwareUpdateOnProfile,
                         ::testing::Values("classic", "contrary", "apart"),
                         [](const auto& info) { return info.param; });

TEST_P(FirmwareUpdateOnProfile, K310From12_5RunsAllFiveStepsAndEndsOnTheCarriedVersion) {
    Start(Outdated(SimModel::K310, 41, 0x0C05, 0x0C06, GetParam()));
    answers.answers = {true};
    ASSERT_EQ(Update(), FirmwareUpdate::Outcome::Succeeded) << log.Text();
    EXPECT_EQ(answers.shown, (std::vector<std::string>{
                                 "ask:Device Firmaere\n\rwill Updated/Restored\n\rto Version "
                                 "1.20.12.6\n\rContinue?",
                                 "info:" + kSuccess}));
    EXPECT_EQ(statuses, (std::vector<std::string>{
                            "Step 1 of 5: Start BOOT", "Step 2 of 5: Writing Firmware Programm",
                            "Step 3 of 5: Starting updated Programm",
                            "Step 4 of 5: Writing Firmware Data", "Step 5 of 5: Reset Device"}));
    ExpectImagesWritten(310, 41);
    EXPECT_EQ(device->WithModel([](DeviceModel& m) { return m.ReportedMainVersion(); }), 0x0C06);
    EXPECT_EQ(device->PlugCount(), 4) << "three restarts";
    EXPECT_EQ(Screens().back(), "{Y83|CY|T0|AS|*}END OF#{y20|AS|*}WRITE");
    ExpectHostRestored();
    // The settings were kept before the first restart, in the backup's format.
    const std::vector<std::string> kept = KeptFiles();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_NE(kept[0].find("-12345678-"), std::string::npos) << kept[0];
    EXPECT_TRUE(LoadSettingsFile(kept[0], *FindSupportedModel(310)).Ok());
    EXPECT_TRUE(LogHas("Settings saved to " + kept[0])) << log.Text();
    const auto requests = device->Requests();
    const auto firstReset = std::find_if(requests.begin(), requests.end(), [](const auto& r) {
        return r.group == 1 && r.code == 0x05;
    });
    EXPECT_TRUE(std::any_of(requests.begin(), firstReset, [](const auto& r) {
        return r.group == 1 && r.code == 0x0E;
    })) << "settings read before the restart";
    // The device is identified afresh, now with the carried version.
    for (int tick = 0; tick < 100 && !Ready(); ++tick) {
        Tick();
    }
    EXPECT_TRUE(Ready());
    EXPECT_EQ(info.mainVersion, 0x0C06);
}

TEST_P(FirmwareUpdateOnProfile, K520From12_2Updates) {
    Start(Outdated(SimModel::K520, 3, 0x0C02, 0x0C03, GetParam()));
    answers.answers = {true};
    ASSERT_EQ(Update(), FirmwareUpdate::Outcome::Succeeded) << log.Text();
    ExpectImagesWritten(520, 3);
    EXPECT_EQ(Screens().back(), "{Y280|CY|T0|AS|*}END OF WRITE");
    EXPECT_EQ(KeptFiles().size(), 1u);
    ExpectHostRestored();
}

// The recovery path: a device left without its main program.
TEST_P(FirmwareUpdateOnProfile, K520InBootModeUpdatesWithoutKeepingSettings) {
    Start(InBootMode(Outdated(SimModel::K520, 2, 0x0C02, 0x0C03, GetParam())));
    answers.answers = {true};
    ASSERT_EQ(Update(), FirmwareUpdate::Outcome::Succeeded) << log.Text();
    ExpectImagesWritten(520, 2);
    EXPECT_EQ(device->WithModel([](DeviceModel& m) { return m.ReportedMainVersion(); }), 0x0C03);
    EXPECT_TRUE(LogHas("Settings not saved: the device is in BOOT mode")) << log.Text();
    EXPECT_TRUE(KeptFiles().empty());
}

// An image over the CpuInfo block would wipe it with its first erases; the
// device is told nothing and stays in its main program.
TEST_P(FirmwareUpdateOnProfile, AnImageOverCpuInfoIsRefusedBeforeTheRestart) {
    SimOptions options = Outdated(SimModel::K520, 3, 0x0C02, 0x0C03, GetParam());
    const std::uint32_t cpuInfo = device_layout::LayoutOf(ResolveDefaults(options)).cpuInfoAddress;
    options.reportedProgramStart = cpuInfo & ~0xFFFu;
    Start(options);
    answers.answers = {true, false};
    EXPECT_EQ(Update(), FirmwareUpdate::Outcome::Failed);
    EXPECT_EQ(update->FailedStep(), 1);
    EXPECT_EQ(device->CountRequests(1, 0x05), 0u) << "no restart";
    EXPECT_EQ(device->CountRequests(3, 0x05) + device->CountRequests(3, 0x07), 0u);
    EXPECT_FALSE(device->WithModel([](DeviceModel& m) { return m.InBootMode(); }));
    const std::uint32_t start = options.reportedProgramStart;
    EXPECT_TRUE(LogHas("# ERROR: \"Program image " + Hex(start) + ".." + Hex(start + 0xCC00 - 1) +
                       " overlaps CpuInfo at " + Hex(cpuInfo) + ".." + Hex(cpuInfo + 47) + "\""))
        << log.Text();
    EXPECT_TRUE(KeptFiles().empty()) << "refused before the settings were read";
    EXPECT_EQ(answers.questions.back(), kRetry);
    ExpectHostRestored();
}

TEST_F(FirmwareUpdateRun, NoToTheQuestionChangesNothing) {
    Start(Outdated(SimModel::K520, 2, 0x0C02, 0x0C03));
    answers.answers = {false};
    EXPECT_EQ(Update(), FirmwareUpdate::Outcome::NotStarted);
    EXPECT_EQ(answers.questions.size(), 1u);
    EXPECT_TRUE(device->Requests().empty());
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(FirmwareUpdateRun, ADeviceStillOnItsOldVersionAfterwardsIsAFailure) {
    Start(Outdated(SimModel::K310, 41, 0x0C05, 0));
    answers.answers = {true, false};
    EXPECT_EQ(Update(), FirmwareUpdate::Outcome::Failed);
    EXPECT_EQ(update->FailedStep(), 5);
    EXPECT_TRUE(answers.informations.empty()) << "no congratulations";
    ASSERT_EQ(answers.questions.size(), 2u);
    EXPECT_EQ(answers.questions[1], kRetry);
    EXPECT_TRUE(LogHas("# ERROR: \"TLX4 after update: 12.5, expected 12.6\"")) << log.Text();
    ExpectHostRestored();
}

TEST_F(FirmwareUpdateRun, ADeviceBackInMainModeFailsStepOne) {
    SimOptions options = Outdated(SimModel::K310, 41, 0x0C05, 0x0C06);
    options.bootLoaderUnreachable = true;
    Start(options);
    answers.answers = {true, false};
    EXPECT_EQ(Update(), FirmwareUpdate::Outcome::Failed);
    EXPECT_EQ(update->FailedStep(), 1);
    EXPECT_EQ(device->CountRequests(3, 0x03) + device->CountRequests(3, 0x05), 0u);
    EXPECT_EQ(answers.questions.back(), kRetry);
    ExpectHostRestored();
}

TEST_F(FirmwareUpdateRun, ADeviceThatNeverComesBackFailsAfterThirtyWaits) {
    SimOptions options = Outdated(SimModel::K310, 41, 0x0C05, 0x0C06);
    options.restartDelayMs = 600000;
    Start(options);
    expectReturn = false;
    answers.answers = {true, false};
    const std::uint32_t before = ticks;
    EXPECT_EQ(Update(), FirmwareUpdate::Outcome::Failed);
    EXPECT_EQ(update->FailedStep(), 1);
    const std::uint32_t waited = ticks - before;
    EXPECT_GE(waited, 31000u);
    EXPECT_LT(waited, 36000u);
    EXPECT_EQ(answers.questions.back(), kRetry);
    ExpectHostRestored();
}

TEST_F(FirmwareUpdateRun, AnUnpluggedDeviceFailsTheWriteAndARetryCompletes) {
    Start(Outdated(SimModel::K310, 42, 0x0C05, 0x0C06));
    // Gone in the middle of the external-flash write, back a moment later.
    device->SetFaults({FaultRule{FaultKind::Unplug, 2, 0x03, 1, 2000, 1, 0, 50}});
    answers.answers = {true, true};
    // The retry is asked for once the device is back, as a user would.
    answers.beforeAnswer = [this] {
        device->WaitUntilPlugged(std::chrono::seconds(5));
        extraAppearances =
            device->PlugCount() - 1 - static_cast<int>(device->CountRequests(1, 0x05));
    };
    ASSERT_EQ(Update(), FirmwareUpdate::Outcome::Succeeded) << log.Text();
    EXPECT_TRUE(LogHas("# ERROR: \"write_func\""));
    EXPECT_TRUE(LogHas("# ERROR: \"WRITE ERR: A=0x00FA00\"")) << log.Text();
    EXPECT_EQ(statuses.size(), 9u) << "four steps, then all five again";
    EXPECT_EQ(statuses[4], "Step 1 of 5: Start BOOT");
    // Two restarts of the failed attempt, three of the retry, and the device
    // found and identified afresh before the retry sends anything.
    EXPECT_EQ(CountLines(log, "# Read Device Information:"), 6);
    EXPECT_EQ(answers.shown.back(), "info:" + kSuccess);
    ExpectImagesWritten(310, 42);
}

TEST_F(FirmwareUpdateRun, AStopRequestEndsAfterTheCurrentRequestWithoutAQuestion) {
    Start(Outdated(SimModel::K310, 41, 0x0C05, 0x0C06));
    answers.answers = {true};
    stopInStep = 4;
    EXPECT_EQ(Update(), FirmwareUpdate::Outcome::Stopped);
    EXPECT_EQ(update->FailedStep(), 4);
    EXPECT_EQ(answers.questions.size(), 1u);
    EXPECT_TRUE(LogHas("# ERROR: \"Update stopped at step 4 of 5; it must be run again\""))
        << log.Text();
    ExpectHostRestored();
}

}  // namespace
}  // namespace firmware_testing
