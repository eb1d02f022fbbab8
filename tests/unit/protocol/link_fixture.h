#pragma once

// The whole device stack on a pseudo-terminal, with a fake clock that moves
// only inside the event pump, where a scripted peer answers the requests.

#include <gtest/gtest.h>

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
        options.clock = [this] { return now_; };
        options.waits = &waits_;
        options.dialogs = &dialogs_;
        options.log = &log_;
        stack_ = std::make_unique<DeviceStack>(std::move(options));
        stack_->Link().SetWaitSlice(std::chrono::milliseconds(1));
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

    DeviceLink& Link() { return stack_->Link(); }
    DeviceCommands& Commands() { return stack_->Commands(); }

    testing_pty::PtyPair pty_;
    testing_pty::Script script_ = [](const Bytes& request) {
        return testing_pty::EchoAnswer(request);
    };
    testing_pty::ScriptedPeer peer_{pty_,
                                    [this](const Bytes& request) { return script_(request); }};
    std::uint32_t now_ = 0xFFFFF000;  // close to wrapping, on purpose
    RecordingDialogs dialogs_;
    AppLog log_;
    // Each pump is one step of time in which the scripted peer answers.
    WaitRules waits_{[this](std::chrono::milliseconds) {
        peer_.Service(std::chrono::milliseconds(2), now_);
        now_ += kStepMs;
    }};
    std::unique_ptr<DeviceStack> stack_;
};

}  // namespace link_testing
