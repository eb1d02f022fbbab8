#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "firmware/cpu_flash_writer.h"
#include "firmware/device_restart.h"
#include "firmware/external_flash_writer.h"
#include "firmware_rig.h"

namespace firmware_testing {
namespace {

std::vector<std::uint32_t> Addresses(const std::vector<TranscriptEntry>& requests, int group,
                                     int code) {
    std::vector<std::uint32_t> addresses;
    for (const auto& request : requests) {
        if (request.group == group && request.code == code) {
            addresses.push_back(ReadLe32(request.data.data()));
        }
    }
    return addresses;
}

class ExternalFlashWrite : public FirmwareRig {
  protected:
    WriteOutcome Write() { return ExternalFlashWriter(Context(), screens).Run(); }
    ProgressScreens screens;
};

TEST_F(ExternalFlashWrite, K310ImageLandsByteForByteWithEachSectorErasedAhead) {
    Start(Model(SimModel::K310, 41, 0x0C06));
    ASSERT_EQ(Write(), WriteOutcome::Done) << log.Text();

    const auto image = *ExternalFlashImage(310);
    EXPECT_EQ(ExternalFlash(static_cast<std::uint32_t>(image.size())), Bytes(image));
    const auto requests = device->Requests();
    EXPECT_EQ(Addresses(requests, 2, 0x03).size(), 9728u) << "32-byte chunks";
    std::vector<std::uint32_t> sectors;
    for (std::uint32_t address : Addresses(requests, 2, 0x05)) {
        sectors.push_back(address / 4096);
    }
    std::vector<std::uint32_t> expected(0x4D);
    std::iota(expected.begin(), expected.end(), 0u);
    EXPECT_EQ(sectors, expected) << "sectors 0 to 0x4C, the last just beyond the image";
    // Every erase comes before the first write into its sector.
    std::vector<bool> erased(0x4D, false);
    for (const auto& request : requests) {
        const std::uint32_t sector =
            request.data.size() >= 4 ? ReadLe32(request.data.data()) / 4096 : 0;
        if (request.group == 2 && request.code == 0x05) {
            erased[sector] = true;
        } else if (request.group == 2 && request.code == 0x03) {
            ASSERT_TRUE(erased[sector]) << "write into sector " << sector << " before its erase";
        }
    }
    EXPECT_EQ(device->WithModel([](DeviceModel& m) { return m.ConnectionText(); }),
              "COM " + std::to_string(kCom));
    const auto shown = Screens();
    ASSERT_GE(shown.size(), 9u);
    EXPECT_EQ(shown[3], "{Y21|AS|*}COM-9");
    EXPECT_EQ(shown[shown.size() - 4], "{X14|Y63|CY|RF100:10}");
    EXPECT_EQ(shown.back(), "{Y83|CY|T0|AS|*}END OF#{y20|AS|*}WRITE");
    EXPECT_TRUE(LogHas("# ЗАПИСЬ: 100% 304Кб [>>>>>>>>>>>>>>>>>>>>>>>>>]")) << log.Text();
    EXPECT_FALSE(LogHas("# WRITING: 0% bytes")) << "the progress line replaces it";
    EXPECT_EQ(log.Lines().back(), "#######################################");
    EXPECT_EQ(progress.back(), 0);
    EXPECT_TRUE(host.linkCheckEnabled);
}

TEST_F(ExternalFlashWrite, ProgressIsPacedByTheClockAndTheSpinnerTurnsOnEachStep) {
    Start(Model(SimModel::K520, 2, 0x0C03));
    // Time moves only as the writer reads the clock: 7 ms a reading.
    std::uint32_t fake = 0;
    std::vector<std::uint32_t> shownAt;
    FirmwareContext context = Context();
    context.clock = [&fake] { return fake += 7; };
    context.showProgress = [&](int percent) {
        if (percent > 0) {
            shownAt.push_back(fake);
        }
    };
    ASSERT_EQ(ExternalFlashWriter(context, screens).Run(), WriteOutcome::Done) << log.Text();
    ASSERT_GT(shownAt.size(), 10u);
    for (std::size_t i = 1; i + 1 < shownAt.size(); ++i) {
        EXPECT_GT(shownAt[i] - shownAt[i - 1], 500u);
        EXPECT_LE(shownAt[i] - shownAt[i - 1], 507u);
    }
    std::string spun;
    std::size_t bars = 0;
    for (const auto& screen : Screens()) {
        if (screen.rfind("{Y83|CC|F02|AS|*}", 0) == 0) {
            spun += screen.back();
        }
        bars += screen.rfind("{X70|Y63|CY|RF", 0) == 0 ? 1 : 0;
    }
    EXPECT_EQ(bars, shownAt.size());
    ASSERT_EQ(spun.size(), shownAt.size());
    for (std::size_t i = 0; i < spun.size(); ++i) {
        EXPECT_EQ(spun[i], ProgressScreens::kSpinner[i % 4]);
    }
    EXPECT_EQ(Addresses(device->Requests(), 2, 0x03).size(), 19840u);
}

TEST_F(ExternalFlashWrite, BootModeIsRefusedWithoutAnyWrite) {
    Start(InBootMode(Model(SimModel::K310, 41, 0x0C06)));
    EXPECT_EQ(Write(), WriteOutcome::Failed);
    EXPECT_TRUE(LogHas("# ERROR: \"Update EFL not avaliable in BOOT Mode\""));
    EXPECT_EQ(device->CountRequests(2, 0x05) + device->CountRequests(2, 0x03), 0u);
}

TEST_F(ExternalFlashWrite, AFailedWriteNamesItsAddressAndStopsThere) {
    Start(Model(SimModel::K310, 41, 0x0C06));
    // The 129th write is the chunk at 4096; the device answers none of its sends.
    device->SetFaults({FaultRule{FaultKind::Drop, 2, 0x03, 1, 128, 3}});
    EXPECT_EQ(Write(), WriteOutcome::Failed);
    EXPECT_TRUE(LogHas("# ERROR: \"write_func\""));
    EXPECT_TRUE(LogHas("# ERROR: \"WRITE ERR: A=0x001000\"")) << log.Text();
    EXPECT_TRUE(LogHas("# ERROR: \"Update not completed\""));
    EXPECT_EQ(Addresses(device->Requests(), 2, 0x03).back(), 4096u);
    EXPECT_TRUE(host.linkCheckEnabled);
}

TEST_F(ExternalFlashWrite, AFailedEraseAheadStopsTheChunkThatReachesTheSector) {
    Start(Model(SimModel::K310, 41, 0x0C06));
    // The second erase, of sector 1, is due with the chunk that ends at 4096.
    device->SetFaults({FaultRule{FaultKind::Drop, 2, 0x05, 1, 1, 0}});
    EXPECT_EQ(Write(), WriteOutcome::Failed);
    EXPECT_TRUE(LogHas("# ERROR: \"erase_func\""));
    EXPECT_TRUE(LogHas("# ERROR: \"WRITE ERR: A=0x000FE0\"")) << log.Text();
    EXPECT_EQ(device->CountRequests(2, 0x03), 127u);
}

TEST_F(ExternalFlashWrite, ACancelStopsAfterTheCurrentRequest) {
    Start(Model(SimModel::K310, 41, 0x0C06));
    std::atomic<bool> cancel{false};
    FirmwareContext context = Context();
    context.cancel = &cancel;
    std::size_t writesAtCancel = 0;
    context.showProgress = [&](int percent) {
        if (percent > 0 && !cancel) {
            cancel = true;
            writesAtCancel = device->CountRequests(2, 0x03);
        }
    };
    context.clock = [n = std::uint32_t{0}]() mutable { return n += 100; };
    EXPECT_EQ(ExternalFlashWriter(context, screens).Run(), WriteOutcome::Stopped);
    EXPECT_GT(writesAtCancel, 0u);
    EXPECT_EQ(device->CountRequests(2, 0x03), writesAtCancel);
    EXPECT_TRUE(LogHas("# ERROR: \"Update not completed\""));
}

class CpuFlashWrite : public FirmwareRig {
  protected:
    WriteOutcome Write() { return CpuFlashWriter(Context()).Run(); }
};

TEST_F(CpuFlashWrite, Revision42ImageWithAPageEraseBeforeEveryFourthChunk) {
    Start(InBootMode(Model(SimModel::K310, 42, 0x0C05)));
    ASSERT_EQ(Write(), WriteOutcome::Done) << log.Text();
    const auto image = *CpuImage(310, 42);
    EXPECT_EQ(MainProgram(0xE000), Bytes(image));
    const auto requests = device->Requests();
    std::vector<int> order;
    for (const auto& request : requests) {
        if (request.group == 3) {
            order.push_back(request.code);
        }
    }
    ASSERT_EQ(std::count(order.begin(), order.end(), 0x03), 1792);
    for (std::size_t i = 0; i < order.size(); i += 5) {
        ASSERT_EQ(order[i], 0x05) << "erase at " << i;
        ASSERT_TRUE(std::all_of(order.begin() + i + 1, order.begin() + i + 5,
                                [](int code) { return code == 0x03; }));
    }
    EXPECT_TRUE(LogHas("# Written: 100%"));
    EXPECT_EQ(progress.back(), 0);
}

TEST_F(CpuFlashWrite, MainModeAndUnknownRevisionsAreRefusedWithoutFlashRequests) {
    Start(Model(SimModel::K310, 41, 0x0C06));
    EXPECT_EQ(Write(), WriteOutcome::Failed);
    EXPECT_TRUE(LogHas("# ERROR: \"Update TLX4 not avaliable - TLX4 Mode\""));
    EXPECT_EQ(device->CountRequests(3, 0x03) + device->CountRequests(3, 0x05), 0u);
}

// This device keeps CpuInfo and Inf1Block below the main program: an image
// from the start of the flash would erase them.
TEST_F(CpuFlashWrite, AnImageOverTheRecordsIsRefusedBeforeAnyErase) {
    SimOptions options = InBootMode(Model(SimModel::K310, 41, 0x0C05));
    options.reportedProgramStart = 0x08000000;
    Start(options);
    EXPECT_EQ(Write(), WriteOutcome::Failed);
    EXPECT_EQ(device->CountRequests(3, 0x03) + device->CountRequests(3, 0x05), 0u);
    EXPECT_TRUE(
        LogHas("# ERROR: \"Образ программы 0x08000000..0x0800DFFF перекрывает CpuInfo "
               "0x08000100..0x0800012F\""))
        << log.Text();
    EXPECT_TRUE(host.linkCheckEnabled);
}

TEST_F(CpuFlashWrite, AFailedEraseIsNamed) {
    Start(InBootMode(Model(SimModel::K520, 3, 0x0C02)));
    device->SetFaults({FaultRule{FaultKind::Drop, 3, 0x05, 1, 2, 0}});
    EXPECT_EQ(Write(), WriteOutcome::Failed);
    EXPECT_TRUE(LogHas("# ERROR: \"Erase CPU Sector\"")) << log.Text();
    EXPECT_EQ(device->CountRequests(3, 0x03), 16u) << "two pages of 256 bytes in 32-byte chunks";
    EXPECT_TRUE(host.linkCheckEnabled);
}

class DeviceRestartRun : public FirmwareRig {};

TEST_F(DeviceRestartRun, UnderAGuardTheConnectionTestRunsOnlyWhileWaitingForTheDevice) {
    Start(Model(SimModel::K310, 41, 0x0C06));
    OperationGuard guard(host, {});
    bool testedWhileAway = false;
    RestartEnvironment environment = Environment();
    environment.step = [&] {
        testedWhileAway = testedWhileAway || host.linkCheckEnabled;
        Tick();
    };
    EXPECT_TRUE(RestartIntoMainProgram(Context(), environment)) << log.Text();
    EXPECT_TRUE(testedWhileAway);
    EXPECT_FALSE(host.linkCheckEnabled) << "held off again for the guard";
    EXPECT_EQ(device->PlugCount(), 2);
    EXPECT_TRUE(LogHas("==> Device Reset to TLX4"));
    EXPECT_EQ(log.Lines().back(), "TLX4  : 12.6");
}

// As the window's demo runs on Windows: the line in memory is listed and
// opened as a port, and goes away and comes back with the restart.
TEST_F(DeviceRestartRun, OnALineInMemoryTheDeviceIsFoundAndComesBackAfterARestart) {
    portDir.clear();
    Start(Model(SimModel::K310, 41, 0x0C06));
    EXPECT_EQ(session.Stack().Port().LastOpenPath(), "memory:COM9");
    OperationGuard guard(host, {});
    EXPECT_TRUE(RestartIntoMainProgram(Context(), Environment())) << log.Text();
    EXPECT_EQ(device->PlugCount(), 2);
    EXPECT_TRUE(session.Connected());
    EXPECT_EQ(log.Lines().back(), "TLX4  : 12.6");
}

TEST_F(DeviceRestartRun, AnUnansweredResetFailsWithoutWaiting) {
    Start(Model(SimModel::K310, 41, 0x0C06));
    device->SetFaults({FaultRule{FaultKind::Drop, 1, 0x05, 1, 0, 0}});
    const std::uint32_t before = ticks;
    EXPECT_EQ(DeviceRestart(Context(), Environment()).IntoBootLoader(), RestartResult::Failed);
    EXPECT_TRUE(LogHas("# ERROR: \"Error when RESET CMD\"")) << log.Text();
    // The link's own three sends, and none of the restart's waits.
    EXPECT_LT(ticks - before,
              DeviceLink::kAnswerTimeoutMs * DeviceLink::kSendsWithRetry + DeviceRestart::kWaitMs);
    EXPECT_TRUE(host.linkCheckEnabled);
}

}  // namespace
}  // namespace firmware_testing
