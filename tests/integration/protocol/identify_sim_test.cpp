#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <string>

#include "protocol/identification.h"
#include "support/log_lines.h"
#include "support/recording_dialogs.h"
#include "support/sim_on_stack.h"
#include "support/sim_profiles.h"

namespace {

constexpr int kCom = 7;
const std::vector<std::uint8_t> kUid{0x05, 0xDB, 0xC0, 0xB7, 0x38, 0x39,
                                     0x51, 0x12, 0x0F, 0x4A, 0x00, 0x31};

// Identification of the simulated dosimeter, found through the port folder the
// way the connection manager finds it.
class IdentifySimulatedDevice : public ::testing::Test {
  protected:
    void PlugIn(SimOptions options) {
        options.uniqueId = kUid;
        rig.emplace(options, Options(), kCom, SimClock{}, SimOnStack::Opening::ByPortTable);
        ASSERT_EQ(rig->Error(), "");
        // One look, and one step of time, per 5 ms of waiting.
        rig->Stack().Link().SetClockLook(std::chrono::milliseconds(5));
    }

    DeviceStackOptions Options() {
        return {.clock = [this] { return ticks += 50; }, .dialogs = &dialogs, .log = &log};
    }

    RecordingDialogs dialogs;
    AppLog log;
    std::atomic<std::uint32_t> ticks{0};
    std::optional<SimOnStack> rig;
    DeviceInfo info;
};

class IdentifyOnEachProfile : public IdentifySimulatedDevice,
                              public ::testing::WithParamInterface<std::string> {
  protected:
    static SimOptions Options() { return WithProfile(SimOptions{}, GetParam()); }
};

TEST_P(IdentifyOnEachProfile, K310) {
    SimOptions options = Options();
    options.mainVersion = 0x0C06;
    PlugIn(options);
    ASSERT_TRUE(Identify(rig->Stack().Commands(), log, info));
    EXPECT_EQ(FromIdentificationBlock(log),
              IdentificationBlock("# Device: Halvane RDK-310.41.0\n"
                                  "# UID   : 05:DB:C0:B7:38:39:51:12:0F:4A:00:31\n"
                                  "# S/N   : 123-45678\n"
                                  "# (INF1) Board : RDK-310.3\n"
                                  "# (INF1) BoardY: (2:1)\n"
                                  "# BOOT  : 4.0\n"
                                  "# TLX4  : 12.6\n"));
    EXPECT_TRUE(info.valid);
}

TEST_P(IdentifyOnEachProfile, K520InBootMode) {
    SimOptions options = Options();
    options.model = SimModel::K520;
    options.serialNumber = 90817263;
    options.startInBootMode = true;
    PlugIn(options);
    ASSERT_TRUE(Identify(rig->Stack().Commands(), log, info));
    EXPECT_EQ(info.modelName, "DRAVO 07X ECO RDK-520.2.1");
    EXPECT_EQ(SerialNumberText(info.inf1), "908-17263");
    EXPECT_EQ(log.Lines()[log.Lines().size() - 2], "# TLX4  : Device in BOOT mode");
    EXPECT_TRUE(info.valid);
    EXPECT_TRUE(info.BootMode());
}

TEST_F(IdentifySimulatedDevice, PulledOutWhileTheInf1BlockIsRead) {
    SimOptions options;
    options.mainVersion = 0x0C06;
    // Once the three pieces of CpuInfo are answered.
    options.faults = {
        {.kind = FaultKind::Unplug, .group = 1, .code = 0x02, .after = 3, .limit = 1}};
    PlugIn(options);
    EXPECT_FALSE(Identify(rig->Stack().Commands(), log, info));
    EXPECT_FALSE(info.valid);
    EXPECT_EQ(info.modelName, "Halvane RDK-310.41.0");
    EXPECT_EQ(log.Lines()[log.Lines().size() - 2], "# ERROR: \"Reading INF_1\"");
    EXPECT_EQ(dialogs.errors, std::vector<std::string>{"No answer in Reading"});
    EXPECT_TRUE(rig->Stack().Port().DeviceVanished());
}

INSTANTIATE_TEST_SUITE_P(EveryProfile, IdentifyOnEachProfile,
                         ::testing::ValuesIn(SimProfileNames()), ProfileTestName);

}  // namespace
