#include "sim/simulated_device.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "raw_client.h"
#include "support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const std::vector<std::uint8_t> kEcho{'F', 'e', 'r', 'a', 'n', 'd', 'o', 'l'};

SimOptions SmallDevice(SimModel model = SimModel::K520) {
    SimOptions options;
    options.model = model;
    options.history = {.shape = HistoryShape::Partial, .records = 300};
    options.restartDelayMs = 100;
    return options;
}

TEST(SimulatedDevice, PlugsInAnswersOverThePtyAndUnplugs) {
    TempDir dir;
    SimulatedDevice device(SmallDevice());
    ASSERT_TRUE(device.PlugIn(dir.Path(), 9)) << device.LastError();
    const std::string link = dir.Path() + "/COM9";
    EXPECT_EQ(device.PortPath(), link);
    ASSERT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), device.DevicePath());

    RawClient client(link);
    ASSERT_TRUE(client.IsOpen());
    EXPECT_EQ(client.Ask(1, 0x00, kEcho), kEcho);
    const auto soft = client.Ask(1, 0x01);
    ASSERT_TRUE(soft);
    EXPECT_EQ(soft->size(), 8u);

    // Closing and reopening the program's end does not disturb the device.
    {
        RawClient second(link);
        EXPECT_EQ(second.Ask(1, 0x00, {1, 2, 3}), (std::vector<std::uint8_t>{1, 2, 3}));
    }
    EXPECT_EQ(client.Ask(1, 0x00, kEcho), kEcho);

    device.Unplug();
    EXPECT_FALSE(device.IsPluggedIn());
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    EXPECT_TRUE(client.SeesHangUp(1s));
}

TEST(SimulatedDevice, ReplacesAStaleLinkAndLeavesAForeignOneAlone) {
    TempDir dir;
    const std::string link = dir.Path() + "/COM4";
    fs::create_symlink("/dev/pts/nonexistent", link);
    {
        SimulatedDevice device(SmallDevice());
        ASSERT_TRUE(device.PlugIn(dir.Path(), 4));
        EXPECT_EQ(fs::read_symlink(link), device.DevicePath());
        // Someone else takes the name while this device is plugged in.
        fs::remove(link);
        fs::create_symlink("/dev/null", link);
    }
    EXPECT_EQ(fs::read_symlink(link), "/dev/null");
}

TEST(SimulatedDevice, ResetMakesItVanishAndComeBackInTheRequestedMode) {
    TempDir dir;
    SimulatedDevice device(SmallDevice(SimModel::K310));
    ASSERT_TRUE(device.PlugIn(dir.Path(), 3));
    const std::string link = device.PortPath();
    {
        RawClient client(link);
        ASSERT_TRUE(client.Ask(1, 0x05, {0x03, 0x00, 0x00, 0x00, 0x0A}));
        EXPECT_TRUE(client.SeesHangUp(2s));
        EXPECT_FALSE(fs::exists(fs::symlink_status(link))) << "gone while restarting";
    }
    ASSERT_TRUE(device.WaitForAppearance(2, 3s));
    {
        RawClient client(link);
        const auto soft = client.Ask(1, 0x01);
        ASSERT_TRUE(soft);
        EXPECT_EQ((*soft)[2] | (*soft)[3] << 8, 0) << "boot mode";
        ASSERT_TRUE(client.Ask(1, 0x05, {0x02, 0x00, 0x00, 0x00, 0x0A}));
    }
    ASSERT_TRUE(device.WaitForAppearance(3, 3s));
    RawClient client(link);
    const auto soft = client.Ask(1, 0x01);
    ASSERT_TRUE(soft);
    EXPECT_EQ((*soft)[2] | (*soft)[3] << 8, 0x0C06) << "main program again";
}

// The other look of a restart: the port stays, and what is sent while the
// device restarts is lost; its return counts as an appearance all the same.
TEST(SimulatedDevice, ASilentRestartKeepsThePortAndLosesWhatIsSentMeanwhile) {
    TempDir dir;
    SimOptions options = SmallDevice(SimModel::K310);
    options.profile = *FindDeviceProfile("contrary");
    ASSERT_EQ(options.profile.restart, RestartLook::SilentOnSamePort);
    // Long enough that the request below surely falls into the silence.
    options.restartDelayMs = 2000;
    SimulatedDevice device(options);
    ASSERT_TRUE(device.PlugIn(dir.Path(), 3));
    const std::string pts = device.DevicePath();
    RawClient client(device.PortPath());
    ASSERT_TRUE(client.Ask(1, 0x05, {0x03, 0x00, 0x00, 0x00, 0x0A}));
    ASSERT_TRUE(client.Send(1, 0x00, kEcho));
    EXPECT_EQ(device.DevicePath(), pts) << "the same pseudo-terminal";
    ASSERT_TRUE(device.WaitForAppearance(2, 5s));
    const auto soft = client.Ask(1, 0x01);
    ASSERT_TRUE(soft) << "the first answer after the silence is the new request's";
    EXPECT_EQ((*soft)[2] | (*soft)[3] << 8, 0) << "boot mode";
    EXPECT_EQ(device.CountRequests(1, 0x00), 0u) << "the echo was never heard";
    EXPECT_EQ(device.DevicePath(), pts);
}

TEST(SimulatedDevice, PlugsInLaterWhenAskedTo) {
    TempDir dir;
    SimOptions options = SmallDevice();
    options.plugInDelayMs = 150;
    auto device = StartSimulatedDevice(options, dir.Path(), 12);
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir.Path() + "/COM12")));
    ASSERT_TRUE(device->WaitUntilPlugged(3s));
    RawClient client(dir.Path() + "/COM12");
    EXPECT_EQ(client.Ask(1, 0x00, kEcho), kEcho);
}

TEST(SimulatedDevice, TranscriptKeepsRequestsAndAnswersInOrder) {
    TempDir dir;
    SimOptions options = SmallDevice();
    options.transcriptPath = dir.Path() + "/transcript.jsonl";
    SimulatedDevice device(options);
    ASSERT_TRUE(device.PlugIn(dir.Path(), 1));
    RawClient client(device.PortPath());
    ASSERT_TRUE(client.Ask(1, 0x00, {0xC0, 0xDB}));
    ASSERT_TRUE(client.Ask(1, 0x0E, {0x09, 0x00}));
    ASSERT_FALSE(client.Ask(1, 0x3E, {}, 200ms));

    EXPECT_EQ(device.CountRequests(1, 0x0E), 1u);
    const auto requests = device.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[2].code, 0x3E);
    const auto entries = device.TranscriptEntries();
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[1].direction, TranscriptEntry::Direction::Answer);
    EXPECT_EQ(entries[1].data, (std::vector<std::uint8_t>{0xC0, 0xDB}));

    std::ifstream file(options.transcriptPath);
    std::string first;
    std::getline(file, first);
    EXPECT_NE(first.find("\"direction\":\"request\",\"group\":1,\"code\":0,\"data\":\"c0db\""),
              std::string::npos)
        << first;
    int lines = 1;
    for (std::string line; std::getline(file, line);) {
        ++lines;
    }
    EXPECT_EQ(lines, 5);
}

// Each fault as the requester meets it.
class FaultTest : public ::testing::Test {
  protected:
    void Start(std::vector<FaultRule> faults) {
        SimOptions options = SmallDevice();
        options.faults = std::move(faults);
        device_ = std::make_unique<SimulatedDevice>(options);
        ASSERT_TRUE(device_->PlugIn(dir_.Path(), 2));
        client_ = std::make_unique<RawClient>(device_->PortPath());
    }

    TempDir dir_;
    std::unique_ptr<SimulatedDevice> device_;
    std::unique_ptr<RawClient> client_;
};

TEST_F(FaultTest, DropsEveryThirdAnswerOfTheChosenCommandOnly) {
    Start({{.kind = FaultKind::Drop, .group = 1, .code = 0x0E, .every = 3}});
    std::vector<bool> answered;
    for (int i = 0; i < 6; ++i) {
        answered.push_back(client_->Ask(1, 0x0E, {0x09, 0x00}, 150ms).has_value());
        EXPECT_TRUE(client_->Ask(1, 0x00, kEcho, 500ms)) << "other commands unaffected";
    }
    EXPECT_EQ(answered, (std::vector<bool>{true, true, false, true, true, false}));
}

TEST_F(FaultTest, CorruptChecksumIsDroppedByTheDecoder) {
    Start({{.kind = FaultKind::Corrupt, .limit = 1}});
    EXPECT_FALSE(client_->Receive(0ms));
    ASSERT_TRUE(client_->Send(1, 0x00, kEcho));
    EXPECT_FALSE(client_->Receive(300ms));
    EXPECT_EQ(device_->CountRequests(1, 0x00), 1u);
    EXPECT_EQ(client_->Ask(1, 0x00, kEcho), kEcho) << "only the first one";
}

TEST_F(FaultTest, WrongCodeComesBackUnderAnotherCode) {
    Start({{.kind = FaultKind::WrongCode, .after = 1, .limit = 1}});
    EXPECT_TRUE(client_->Ask(1, 0x01));
    ASSERT_TRUE(client_->Send(1, 0x01));
    const auto packet = client_->Receive();
    ASSERT_TRUE(packet);
    EXPECT_EQ((*packet)[4], 0x41);
    EXPECT_NE((*packet)[5], 0x01);
}

TEST_F(FaultTest, DelayedAnswerArrivesNoEarlierThanTheDelay) {
    Start({{.kind = FaultKind::Delay, .delayMs = 300}});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(client_->Ask(1, 0x00, kEcho, 100ms));
    const auto late = client_->Receive(2s);
    EXPECT_TRUE(late);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
}

TEST_F(FaultTest, SilentDeviceStopsAnsweringAltogether) {
    Start({{.kind = FaultKind::Silent, .after = 2}});
    EXPECT_TRUE(client_->Ask(1, 0x00, kEcho));
    EXPECT_TRUE(client_->Ask(1, 0x01));
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(client_->Ask(1, 0x00, kEcho, 100ms));
    }
    EXPECT_TRUE(device_->IsPluggedIn());
}

TEST_F(FaultTest, UnplugsMidOperationAndComesBackWhenAsked) {
    Start({{.kind = FaultKind::Unplug, .group = 2, .after = 3, .limit = 1, .replugMs = 100}});
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(client_->Ask(2, 0x02, Concat({Le32(0x100000 + 32 * i), {32}})));
    }
    EXPECT_FALSE(client_->Ask(2, 0x02, Concat({Le32(0x100060), {32}}), 200ms));
    EXPECT_TRUE(client_->SeesHangUp(1s));
    ASSERT_TRUE(device_->WaitForAppearance(2, 3s));
    RawClient again(device_->PortPath());
    EXPECT_TRUE(again.Ask(2, 0x02, Concat({Le32(0x100060), {32}})));
}

TEST(WireTime, IsTenBitsPerByteAt230400Baud) {
    EXPECT_EQ(WireTime(23040).count(), 1000000);
    EXPECT_EQ(WireTime(0).count(), 0);
}

TEST(SimulatedDevice, WireTimeHoldsBackALongAnswer) {
    TempDir dir;
    SimOptions options = SmallDevice();
    options.wireTime = true;
    SimulatedDevice device(options);
    ASSERT_TRUE(device.PlugIn(dir.Path(), 5));
    RawClient client(device.PortPath());
    // A 128-byte block read and its answer take at least 6 ms on the wire.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(client.Ask(2, 0x02, Concat({Le32(0x100000), {128}})));
    EXPECT_GE(std::chrono::steady_clock::now() - start, WireTime(150));
}

}  // namespace
