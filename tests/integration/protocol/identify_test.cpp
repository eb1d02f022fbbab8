#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "firmware/device_info_text.h"
#include "firmware/firmware_images.h"
#include "firmware/flash_chunks.h"
#include "integration/protocol/scripted_device.h"
#include "protocol/device_stack.h"
#include "protocol/identification.h"
#include "protocol/operation_gate.h"
#include "protocol/screen_markup.h"
#include "support/language_guard.h"
#include "support/log_lines.h"
#include "support/recording_dialogs.h"
#include "support/sim_on_stack.h"
#include "support/sim_profiles.h"
#include "support/third_model.h"

namespace {

constexpr std::uint32_t kCpuInfoAddress = 0x20000100;
constexpr std::uint32_t kInf1Address = 0x0801FF00;
constexpr std::uint32_t kUniqueIdAddress = 0x1FF80050;  // CPU types 4 to 9
const std::vector<std::uint8_t> kUid{0x31, 0x00, 0x4A, 0x0F, 0x12, 0x51,
                                     0x39, 0x38, 0xB7, 0xC0, 0xDB, 0x05};

struct DeviceSetup {
    SoftInfo soft{0x0401, 0x0C06, kCpuInfoAddress};
    BoardInfo board{310, 41, 0};
    std::uint16_t cpuType = 9;
    std::vector<std::uint8_t> inf1{0x00, 6, 3, 2, 5, 0, 0, 0, 0, 0x21, 0x43, 0x65, 0x87, 0, 0, 0};
};

DeviceSetup K520() {
    return {.soft = {0x0402, 0x0C03, kCpuInfoAddress},
            .board = {520, 2, 1},
            .cpuType = 5,
            .inf1 = {0x00, 4, 1, 1, 3, 0, 0, 0, 0, 0x10, 0x32, 0x54, 0x76, 0, 0, 0}};
}

// Identification through the real command layer and a real pseudo-terminal.
// The clock moves only as the link looks at it while it waits, so the
// time-outs of a silent device pass in a moment without changing how often
// anything is sent.
class IdentifyOverPty : public ::testing::Test {
  protected:
    void Plug(const DeviceSetup& setup) {
        device.SetSoftInfo(setup.soft);
        device.SetBoardInfo(setup.board);
        std::vector<std::uint8_t> cpuInfo(CpuInfo::kSize, 0);
        WriteLe16(cpuInfo.data(), setup.cpuType);
        WriteLe32(cpuInfo.data() + 10, kInf1Address);
        device.Poke(setup.soft.cpuInfoAddress, cpuInfo);
        device.Poke(kInf1Address, setup.inf1);
        device.Poke(kUniqueIdAddress, kUid);
        // One look, and one step of time, per 5 ms of waiting.
        stack.Link().SetClockLook(std::chrono::milliseconds(5));
        ASSERT_TRUE(stack.OpenPath(device.SlavePath()));
    }

    bool Identify() { return ::Identify(stack.Commands(), log, info); }

    std::string Block() const { return FromIdentificationBlock(log); }

    OperationGate Gate() {
        return OperationGate([this] { return GateInputs::From(true, true, stack.Commands()); },
                             dialogs, log);
    }

    std::size_t RequestsOf(std::uint8_t code) const {
        const auto requests = device.Requests();
        return std::count(requests.begin(), requests.end(),
                          std::pair<std::uint8_t, std::uint8_t>(1, code));
    }

    ScriptedDevice device;
    RecordingDialogs dialogs;
    AppLog log;
    std::atomic<std::uint32_t> ticks{0};
    DeviceStack stack{DeviceStackOptions{PortTableConfig{}, [this] { return ticks += 50; }, nullptr,
                                         &dialogs, &log}};
    DeviceInfo info;
};

TEST_F(IdentifyOverPty, K310LogBlockAndRecord) {
    Plug(DeviceSetup{});
    ASSERT_TRUE(Identify());
    EXPECT_EQ(Block(), IdentificationBlock("# Device: Halvane RDK-310.41.0\n"
                                           "# UID   : 31:00:4A:0F:12:51:39:38:B7:C0:DB:05\n"
                                           "# S/N   : 123-45678\n"
                                           "# (INF1) Board : RDK-310.3\n"
                                           "# (INF1) BoardY: (2:5)\n"
                                           "# BOOT  : 4.1\n"
                                           "# TLX4  : 12.6\n"));
    EXPECT_TRUE(info.valid);
    EXPECT_EQ(info.modelName, "Halvane RDK-310.41.0");
    EXPECT_EQ(info.board.boardCode, 310);
    EXPECT_EQ(info.board.revision, 41);
    EXPECT_EQ(info.bootVersion, 0x0401);
    EXPECT_EQ(info.mainVersion, 0x0C06);
    EXPECT_EQ(info.cpuInfoAddress, kCpuInfoAddress);
    EXPECT_EQ(std::vector<std::uint8_t>(info.uid.begin(), info.uid.end()), kUid);
    EXPECT_EQ(info.inf1[12], 0x87);
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(IdentifyOverPty, K520LogBlockAndGates) {
    Plug(K520());
    ASSERT_TRUE(Identify());
    EXPECT_EQ(Block(), IdentificationBlock("# Device: DRAVO 07X ECO RDK-520.2.1\n"
                                           "# UID   : 31:00:4A:0F:12:51:39:38:B7:C0:DB:05\n"
                                           "# S/N   : 012-34567\n"
                                           "# (INF1) Board : RDK-520.1\n"
                                           "# (INF1) BoardY: (1:3)\n"
                                           "# BOOT  : 4.2\n"
                                           "# TLX4  : 12.3\n"));
    EXPECT_TRUE(info.valid);
    // Current firmware passes the gates after the identification.
    OperationGate gate = Gate();
    std::string notice = "Need\n\rto Update\n\rFirmware";
    EXPECT_TRUE(gate.CheckPage(notice));
    EXPECT_EQ(notice, "");
    EXPECT_TRUE(gate.CheckSettingsAccess("Read Settings"));
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(IdentifyOverPty, BootModeIsIdentifiedButEveryGateRefuses) {
    DeviceSetup setup;
    setup.soft.mainVersion = 0;
    setup.inf1[1] = 1;  // the first board type, with its display named in byte 4
    setup.inf1[3] = 1;
    setup.inf1[4] = 3;
    Plug(setup);
    ASSERT_TRUE(Identify());
    EXPECT_EQ(Block(), IdentificationBlock("# Device: Halvane RDK-310.41.0\n"
                                           "# UID   : 31:00:4A:0F:12:51:39:38:B7:C0:DB:05\n"
                                           "# S/N   : 123-45678\n"
                                           "# (INF1) Board : RDK-405.3\n"
                                           "# (INF1) BoardY: F4:L=107_New_ПЭ\n"
                                           "# BOOT  : 4.1\n"
                                           "# TLX4  : Device in BOOT mode\n"));
    EXPECT_TRUE(info.valid);
    EXPECT_EQ(info.mainVersion, 0);

    LanguageGuard english(Language::English);
    OperationGate gate = Gate();
    std::string notice;
    EXPECT_FALSE(gate.CheckPage(notice));
    EXPECT_EQ(notice, "In BOOT\n\rMode is\n\rUnavaliable");
    EXPECT_FALSE(gate.Check("", true));
    EXPECT_EQ(log.Lines().back(), "# ERROR: \"DevAccessCheck Error=5\"");
}

// A model that is nothing but a row: identification, the gates and the
// firmware chooser take it from the row alone.
TEST_F(IdentifyOverPty, AModelThatIsOnlyARowIsIdentifiedGatedAndOfferedItsFirmware) {
    const ThirdModel third;
    const LanguageGuard english(Language::English);
    DeviceSetup setup = K520();
    setup.soft.mainVersion = 0x0101;
    setup.board = {ThirdModel::kBoard, ThirdModel::kRevision, 0};
    Plug(setup);
    ASSERT_TRUE(Identify());
    EXPECT_EQ(info.modelName, "RDK-777.1.0");
    OperationGate gate = Gate();
    EXPECT_TRUE(gate.CheckSettingsAccess("Read Settings"));
    EXPECT_TRUE(dialogs.errors.empty());
    // No clock on this board: nothing is sent.
    EXPECT_FALSE(stack.Commands().TimeWrite(DeviceTimeRecord{}));

    EXPECT_EQ(ExternalFlashImage(ThirdModel::kBoard)->size(), ThirdModel::kExternalSize);
    EXPECT_EQ(CpuImage(ThirdModel::kBoard, ThirdModel::kRevision)->size(), ThirdModel::kCpuSize);
    EXPECT_FALSE(CpuImage(ThirdModel::kBoard, ThirdModel::kRevision + 1));
    EXPECT_EQ(FlashChunkSize(*stack.Commands().CachedCpuInfo(), ThirdModel::kBoard), 64u);
    EXPECT_EQ(ScreenLayoutOf(ThirdModel::kBoard), ScreenLayout::Wide);
    EXPECT_EQ(UpdateOfferLines(info),
              (std::vector<std::string>{"Upgrade to Version 1.2", "is avaliable"}));
    info.mainVersion = ThirdModel::kCarried;
    EXPECT_TRUE(UpdateOfferLines(info).empty());
}

struct Rejection {
    const char* name;
    BoardInfo board;
    std::uint16_t cpuType;
    const char* device;
    const char* error;
};

void PrintTo(const Rejection& rejection, std::ostream* out) {
    *out << rejection.name;
}

// A table's row by its name, in test names.
template <typename Row>
std::string RowName(const ::testing::TestParamInfo<Row>& info) {
    return info.param.name;
}

const Rejection kRejections[] = {
    {"K310Revision43", {310, 43, 0}, 9, "Halvane RDK-310.43.0", "Wrong Device Type"},
    {"K520Variant0", {520, 2, 0}, 5, "RDK-520.2.0", "Wrong Device Type"},
    {"K310WithCpu4", {310, 41, 0}, 4, "Halvane RDK-310.41.0", "CPU MODEL:4"},
    {"K520WithCpu9", {520, 3, 1}, 9, "DRAVO 07X ECO RDK-520.3.1", "CPU MODEL:9"},
    {"OtherBoard", {425, 1, 0}, 9, "RDK-425.1.0", "Wrong Device Type"},
};

class RejectedDevice : public IdentifyOverPty, public ::testing::WithParamInterface<Rejection> {};

TEST_P(RejectedDevice, IsNamedThenRefused) {
    DeviceSetup setup;
    setup.board = GetParam().board;
    setup.cpuType = GetParam().cpuType;
    Plug(setup);
    EXPECT_FALSE(Identify());
    EXPECT_EQ(Block(), IdentificationBlock(std::string("# Device: ") + GetParam().device +
                                           "\n# ERROR: \"" + GetParam().error + "\"\n"));
    EXPECT_FALSE(info.valid);
    // Nothing after the hardware check was asked for: no Inf1Block, no unique id.
    EXPECT_EQ(RequestsOf(0x02), 3u);
}

INSTANTIATE_TEST_SUITE_P(Identification, RejectedDevice, ::testing::ValuesIn(kRejections),
                         RowName<Rejection>);

TEST_F(IdentifyOverPty, OldBootLoaderIsBoard405WithoutAsking) {
    DeviceSetup setup;
    setup.soft.bootVersion = 0x03FF;
    Plug(setup);
    EXPECT_FALSE(Identify());
    EXPECT_EQ(info.modelName, "RDK-405.0.0");
    EXPECT_EQ(log.Lines()[log.Lines().size() - 2], "# ERROR: \"Wrong Device Type\"");
    EXPECT_EQ(RequestsOf(0x0A), 0u);
}

TEST_F(IdentifyOverPty, SilentDeviceFailsTheBoardCodeWithoutABox) {
    device.StopAnsweringAfter(0);
    Plug(DeviceSetup{});
    EXPECT_FALSE(Identify());
    EXPECT_EQ(Block(), IdentificationBlock("# ERROR: \"Read BoardCode\"\n"));
    EXPECT_TRUE(info.modelName.empty());
    EXPECT_TRUE(dialogs.errors.empty());
    // The board code is asked for with retries: three sends of SOFT_INFO.
    EXPECT_EQ(RequestsOf(0x01), 3u);
}

struct Unplug {
    const char* name;
    int answered;  // requests answered before the device went silent
    const char* lastLines;
    const char* box;
};

void PrintTo(const Unplug& unplug, std::ostream* out) {
    *out << unplug.name;
}

class UnpluggedDuringIdentification : public IdentifyOverPty,
                                      public ::testing::WithParamInterface<Unplug> {};

TEST_P(UnpluggedDuringIdentification, FailsAtTheStepItInterrupted) {
    // SOFT_INFO, three pieces of CpuInfo and BOARD_INFO, then the Inf1Block, the
    // unique id and SOFT_INFO again.
    device.StopAnsweringAfter(GetParam().answered);
    Plug(DeviceSetup{});
    EXPECT_FALSE(Identify());
    EXPECT_EQ(Block(), IdentificationBlock("# Device: Halvane RDK-310.41.0\n" +
                                           std::string(GetParam().lastLines)));
    EXPECT_FALSE(info.valid);
    EXPECT_EQ(info.modelName, "Halvane RDK-310.41.0");
    EXPECT_EQ(dialogs.errors, std::vector<std::string>{GetParam().box});
}

INSTANTIATE_TEST_SUITE_P(
    Identification, UnpluggedDuringIdentification,
    ::testing::Values(
        Unplug{"BeforeInf1Block", 5, "# ERROR: \"Reading INF_1\"\n", "No answer in Reading"},
        Unplug{"BeforeUniqueId", 6, "# ERROR: \"Reading UID\"\n", "No answer in Reading"},
        Unplug{"BeforeSoftInfo", 7,
               "# UID   : 31:00:4A:0F:12:51:39:38:B7:C0:DB:05\n"
               "# S/N   : 123-45678\n"
               "# (INF1) Board : RDK-310.3\n"
               "# (INF1) BoardY: (2:5)\n"
               "# ERROR: \"Read SoftInfo\"\n",
               "No answer in reading information about Programm"}),
    RowName<Unplug>);

TEST_F(IdentifyOverPty, ReidentificationStartsFromAClearRecord) {
    Plug(DeviceSetup{});
    ASSERT_TRUE(Identify());
    stack.Commands().ForgetDeviceData();
    device.StopAnsweringAfter(static_cast<int>(device.Requests().size()));
    EXPECT_FALSE(Identify());
    EXPECT_FALSE(info.valid);
    EXPECT_TRUE(info.modelName.empty());
    EXPECT_EQ(info.mainVersion, 0);
    EXPECT_EQ(info.uid, UniqueId{});
}

constexpr int kSimCom = 7;
const std::vector<std::uint8_t> kSimUid{0x05, 0xDB, 0xC0, 0xB7, 0x38, 0x39,
                                        0x51, 0x12, 0x0F, 0x4A, 0x00, 0x31};

// Identification of the simulated dosimeter, found through the port folder the
// way the connection manager finds it.
class IdentifySimulatedDevice : public ::testing::Test {
  protected:
    void PlugIn(SimOptions options) {
        options.uniqueId = kSimUid;
        rig.emplace(options, Options(), kSimCom, SimClock{}, SimOnStack::Opening::ByPortTable);
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
