#pragma once

// The whole device stack on a pseudo-terminal, with a fake clock whose every
// reading is a moment at which a scripted peer answers the requests.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/app_log.h"
#include "base/dialogs.h"
#include "protocol/device_stack.h"
#include "support/recording_dialogs.h"
#include "unit/serial/pty_peer.h"

namespace link_testing {

using testing_pty::Bytes;

class LinkFixture : public ::testing::Test {
  protected:
    static constexpr std::uint32_t kStepMs = 50;

    LinkFixture() {
        DeviceStackOptions options;
        options.ports.systemPorts = false;
        options.ports.portDir.clear();
        options.clock = [this] { return ReadClock(); };
        options.dialogs = &dialogs_;
        options.log = &log_;
        stack_ = std::make_unique<DeviceStack>(std::move(options));
        stack_->Link().SetClockLook(std::chrono::milliseconds(1));
        EXPECT_TRUE(stack_->OpenPath(pty_.SlavePath(), 1));
    }

    // Answers each request with the raw bytes `script` returns.
    void Answer(testing_pty::Script script) { script_ = std::move(script); }
    // Answers each request with `data` as its answer data.
    void AnswerData(const Bytes& data) {
        script_ = [data](const Bytes& request) {
            return testing_pty::Frame(testing_pty::AnswerPacket(request, data));
        };
    }
    void Silence() {
        script_ = [](const Bytes&) { return Bytes{}; };
    }

    // The payloads (group, code, data) of the requests the peer saw.
    std::vector<Bytes> Payloads() const {
        std::vector<Bytes> payloads;
        for (const Bytes& request : peer_.requests) {
            payloads.emplace_back(request.begin() + 4, request.end());
        }
        return payloads;
    }

    // The link reads the clock on its own (the test's) thread, right after each
    // send and whenever a wait for the answer looks again. Each reading first
    // lets the peer answer what was sent. Time moves on by one step only when
    // the peer had nothing to answer and the program has read every answer, so
    // an answer is always in before the link's wait can run out, however slowly
    // the threads run, while a silent peer lets it time out after a fixed number
    // of steps. Held time gives way after a second, so a fault fails, not hangs.
    std::uint32_t ReadClock() {
        const auto real = std::chrono::steady_clock::now();
        if (peer_.Service(now_) || pty_.ProgramHasUnread()) {
            if (!holding_) {
                holding_ = true;
                holdSince_ = real;
            }
            if (real - holdSince_ < std::chrono::seconds(1)) {
                return now_;
            }
        }
        holding_ = false;
        now_ += kStepMs;
        return now_;
    }

    DeviceLink& Link() { return stack_->Link(); }
    DeviceCommands& Commands() { return stack_->Commands(); }

    testing_pty::PtyPair pty_;
    testing_pty::Script script_ = [](const Bytes& request) {
        return testing_pty::EchoAnswer(request);
    };
    testing_pty::ScriptedPeer peer_{pty_,
                                    [this](const Bytes& request) { return script_(request); }};
    std::uint32_t now_ = 0xFFFFF000;  // close to wrapping, on purpose
    bool holding_ = false;
    std::chrono::steady_clock::time_point holdSince_;
    RecordingDialogs dialogs_;
    AppLog log_;
    std::unique_ptr<DeviceStack> stack_;
};

}  // namespace link_testing
