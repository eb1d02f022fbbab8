#include "protocol/device_stack.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "unit/serial/pty_peer.h"

namespace {

using namespace std::chrono_literals;
using testing_pty::Bytes;

DeviceStackOptions RealTimeOptions(AppLog* log) {
    return {.ports = {.portDir = {}, .systemPorts = false}, .log = log};
}

const std::string kEcho = "Ferandol";
const auto* kEchoBytes = reinterpret_cast<const std::uint8_t*>(kEcho.data());

TEST(DeviceStack, RunsManyConnectionTestsAgainstADeviceThread) {
    testing_pty::PtyPair pty;
    testing_pty::ThreadedResponder device(pty, testing_pty::EchoAnswer);
    AppLog log;
    DeviceStack stack(RealTimeOptions(&log));
    ASSERT_TRUE(stack.OpenPath(pty.SlavePath(), 4));
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(stack.Commands().Test(kEchoBytes, 8, false), 1) << i;
    }
    EXPECT_EQ(device.RequestCount(), 200u);
    stack.Close();
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{"Open COM 4 : OK", "Close COM 4 : OK"}));
}

TEST(DeviceStack, IgnoresNoiseAndAnswersForOtherChannels) {
    testing_pty::PtyPair pty;
    testing_pty::ThreadedResponder device(pty, [](const Bytes& request) {
        Bytes wire{0x13, 0xC0, 0xDB, 0x07, 0xC0};
        // An answer for the flash channel and a truncated frame come first.
        const Bytes other = testing_pty::Frame({0x00, 0x02, 0x00, 0x01, 0x42, 0x02, 0x01});
        wire.insert(wire.end(), other.begin(), other.end());
        wire.insert(wire.end(), other.begin(), other.end() - 3);
        const Bytes answer = testing_pty::EchoAnswer(request);
        wire.insert(wire.end(), answer.begin(), answer.end());
        return wire;
    });
    DeviceStack stack(RealTimeOptions(nullptr));
    ASSERT_TRUE(stack.OpenPath(pty.SlavePath()));
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(stack.Commands().Test(kEchoBytes, 8, false), 1) << i;
    }
}

TEST(DeviceStack, TakesBurstsLongerThanOneRead) {
    testing_pty::PtyPair pty;
    DeviceStack stack(RealTimeOptions(nullptr));
    ASSERT_TRUE(stack.OpenPath(pty.SlavePath()));
    // Eight long flash answers in one write: more than the 1000 bytes of one read.
    Bytes burst;
    for (std::uint8_t i = 0; i < 8; ++i) {
        Bytes packet{0x00, 0x02, 0x00, 0x01, 0x42, 0x02};
        packet.resize(246, i);
        const Bytes frame = testing_pty::Frame(packet);
        burst.insert(burst.end(), frame.begin(), frame.end());
    }
    ASSERT_GT(burst.size(), DeviceLink::kReadLimit);
    pty.Write(burst);
    AnswerQueue& queue = stack.Link().Efl()->Queue();
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    while (queue.Count() < 8 && std::chrono::steady_clock::now() < deadline) {
        queue.WaitNotEmpty(10ms);
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_EQ(queue.Count(), 8u);
}

TEST(DeviceStack, AnUnpluggedDeviceEndsTheWaitWithinItsBound) {
    testing_pty::PtyPair pty;
    DeviceStack stack(RealTimeOptions(nullptr));
    ASSERT_TRUE(stack.OpenPath(pty.SlavePath(), 2));
    pty.HangUp();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(stack.Commands().Test(kEchoBytes, 8, false), 0);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    // Three sends of 700 ms; a hang would run far beyond.
    EXPECT_LT(elapsed, 5s);
    EXPECT_TRUE(stack.Port().DeviceVanished());
    stack.Close();
    EXPECT_FALSE(stack.OpenPath(pty.SlavePath(), 2));
}

}  // namespace
