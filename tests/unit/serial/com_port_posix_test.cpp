#include "base/language.h"
#include "serial/com_port.h"

#include <gtest/gtest.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/recording_port.h"
#include "support/temp_dir.h"
#include "unit/serial/pty_peer.h"

namespace {

using namespace std::chrono_literals;
using testing_pty::Bytes;
using testing_pty::PtyPair;

PortTableConfig NoPorts() {
    PortTableConfig config;
    config.systemPorts = false;
    return config;
}

double ProcessCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
}

// A port without the machine's own ports, and a pseudo-terminal to open it on.
class ComPortTest : public ::testing::Test {
  protected:
    bool Open(int number) {
        port.SetDevicePath(pty.SlavePath());
        port.SetPortNumber(number);
        return port.OpenPort(230400);
    }

    PtyPair pty;
    RecordingPort port{NoPorts()};
};

TEST_F(ComPortTest, LogsOpenAndCloseAndClosesAnOpenPortBeforeReopening) {
    port.SetDevicePath(pty.SlavePath());

    EXPECT_FALSE(port.OpenPort(230400));  // port number 0
    EXPECT_TRUE(port.log.empty());

    port.SetPortNumber(7);
    EXPECT_TRUE(port.OpenPort(230400));
    EXPECT_TRUE(port.IsOpen());
    EXPECT_TRUE(port.OpenPort(230400));
    EXPECT_TRUE(port.ClosePort());
    EXPECT_FALSE(port.ClosePort());
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.log, (std::vector<std::string>{"Open COM 7 : OK", "Close COM 7 : OK",
                                                  "Open COM 7 : OK", "Close COM 7 : OK"}));
}

TEST_F(ComPortTest, ReportsAMissingOrBusyDeviceAsError) {
    RecordingPort missing(NoPorts());
    missing.SetPortNumber(9);
    EXPECT_FALSE(missing.OpenPort(230400));
    EXPECT_EQ(missing.log, std::vector<std::string>{"Open COM 9 : Error"});

    ASSERT_TRUE(Open(3));
    RecordingPort second(NoPorts());
    second.SetDevicePath(pty.SlavePath());
    second.SetPortNumber(4);
    // The first holds the port exclusively; the reason names the holder.
    EXPECT_FALSE(second.OpenPort(230400));
    ASSERT_EQ(second.log.size(), 2u);
    EXPECT_EQ(second.log[0], "Open COM 4 : Error");
    EXPECT_NE(second.log[1].find(std::string("(") + PickText("процесс ", "process ") +
                                 std::to_string(getpid())),
              std::string::npos)
        << second.log[1];
}

TEST_F(ComPortTest, FindsItsDeviceThroughThePortFolder) {
    TempDir folder;
    std::filesystem::create_symlink(pty.SlavePath(), folder.Path() + "/COM12");
    PortTableConfig config = NoPorts();
    config.portDir = folder.Path();
    {
        RecordingPort port(config);
        port.SetPortNumber(12);
        EXPECT_TRUE(port.OpenPort(230400));
        port.SetPortNumber(0);
    }
}

TEST_F(ComPortTest, CarriesBytesBothWays) {
    ASSERT_TRUE(Open(1));

    // Bytes a terminal would treat specially must pass unchanged in raw mode.
    const Bytes incoming{0x00, 0x03, 0x0A, 0x0D, 0x11, 0x13, 0x7F, 0xC0, 0xFF};
    pty.Write(incoming);
    EXPECT_EQ(port.WaitForBytes(incoming.size()), incoming);

    const Bytes outgoing{0x0A, 0x0D, 0xC0, 0xDB, 0x00};
    EXPECT_EQ(port.WriteBytes(outgoing.data(), outgoing.size()), outgoing.size());
    Bytes seen;
    while (seen.size() < outgoing.size()) {
        pollfd entry{pty.Master(), POLLIN, 0};
        ASSERT_GT(poll(&entry, 1, 2000), 0);
        std::uint8_t buffer[16];
        const ssize_t got = read(pty.Master(), buffer, sizeof buffer);
        ASSERT_GT(got, 0);
        seen.insert(seen.end(), buffer, buffer + got);
    }
    EXPECT_EQ(seen, outgoing);
}

TEST_F(ComPortTest, ReadsAndWritesNothingWhenClosedOrAskedForNothing) {
    std::uint8_t buffer[4] = {1, 2, 3, 4};
    EXPECT_EQ(port.ReadBytes(buffer, sizeof buffer), 0u);
    EXPECT_EQ(port.WriteBytes(buffer, sizeof buffer), 0u);

    ASSERT_TRUE(Open(2));
    EXPECT_EQ(port.ReadBytes(buffer, 0), 0u);
    port.ClosePort();
    EXPECT_EQ(port.ReadBytes(buffer, sizeof buffer), 0u);
    EXPECT_EQ(port.WriteBytes(buffer, sizeof buffer), 0u);
}

TEST_F(ComPortTest, AVanishedDeviceLeavesTheReaderIdleUntilClosed) {
    ASSERT_TRUE(Open(5));

    pty.HangUp();
    for (int i = 0; i < 200 && !port.DeviceVanished(); ++i) {
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_TRUE(port.DeviceVanished());

    // A reader spinning on the hang-up would burn the whole interval.
    const double before = ProcessCpuMs();
    std::this_thread::sleep_for(200ms);
    EXPECT_LT(ProcessCpuMs() - before, 40.0);

    const std::uint8_t byte = 0x55;
    EXPECT_EQ(port.WriteBytes(&byte, 1), 0u);
    EXPECT_TRUE(port.ClosePort());
    EXPECT_EQ(port.log.back(), "Close COM 5 : OK");
}

TEST_F(ComPortTest, ClosesWhileAFloodIsArriving) {
    ASSERT_TRUE(Open(6));
    std::atomic<bool> flooding{true};
    std::thread flood([&] {
        const Bytes chunk(256, 0xA5);
        while (flooding) {
            [[maybe_unused]] const ssize_t put = write(pty.Master(), chunk.data(), chunk.size());
            std::this_thread::yield();
        }
    });
    port.WaitForBytes(1024);
    EXPECT_TRUE(port.ClosePort());
    flooding = false;
    flood.join();
    EXPECT_FALSE(port.IsOpen());
}

}  // namespace
