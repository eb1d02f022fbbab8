#pragma once

// The program's device side around the simulated dosimeter: port folder,
// connection manager and identification on one fake clock, ticked the way the
// main window's 100 ms timer ticks them, and each step of a restart's wait
// is one such tick.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "firmware/device_restart.h"
#include "firmware/firmware_context.h"
#include "firmware/firmware_images.h"
#include "protocol/device_session.h"
#include "protocol/identification.h"
#include "protocol/identification_step.h"
#include "sim/simulated_device.h"
#include "support/log_lines.h"
#include "support/recording_dialogs.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace firmware_testing {

using namespace std::chrono_literals;

inline constexpr int kCom = 9;

// `profile` names one of the simulated device's profiles.
inline SimOptions Model(SimModel model, int revision, std::uint16_t mainVersion,
                        const std::string& profile = "classic") {
    SimOptions options;
    options.profile = *FindDeviceProfile(profile);
    options.model = model;
    options.hardwareRevision = revision;
    options.mainVersion = mainVersion;
    options.history = {.shape = HistoryShape::Empty, .recordWhileRunning = false};
    options.restartDelayMs = 20;
    return options;
}

inline SimOptions InBootMode(SimOptions options) {
    options.startInBootMode = true;
    return options;
}

// Answers the questions in turn; No once the script runs out. `beforeAnswer`
// runs first, as the moment a user takes before clicking.
class ScriptedAnswers : public RecordingDialogs {
  public:
    bool AskYesNo(const std::string& text) override {
        RecordingDialogs::AskYesNo(text);
        if (beforeAnswer) {
            beforeAnswer();
        }
        if (answers.empty()) {
            return false;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<bool> answers;
    std::function<void()> beforeAnswer;
};

class FirmwareRig : public ::testing::Test {
  protected:
    // The link looks at its clock at least this often while it waits.
    static constexpr std::uint32_t kLinkLookMs = 5;

    FirmwareRig() { session.Stack().Link().SetClockLook(std::chrono::milliseconds(kLinkLookMs)); }

    // Plugs the device in and runs ticks until it is connected and identified.
    void Start(const SimOptions& options) {
        device = std::make_unique<SimulatedDevice>(options);
        // Ports present at the first scan are never tried: plug in after it.
        session.Ports().Refresh();
        ASSERT_TRUE(device->PlugIn(portDir, kCom)) << device->LastError();
        for (int tick = 0; tick < 100 && !Ready(); ++tick) {
            Tick();
        }
        ASSERT_TRUE(Ready()) << log.Text();
        log.Clear();
        device->ClearTranscript();
    }

    bool Ready() { return session.Connected() && identification.DeviceRecognized(); }

    // One 100 ms tick of the main window's timer: the connection step once a
    // second, identification on every tick.
    void Tick() {
        ticks += 100;
        if (expectReturn) {
            // A restarting device is away for a moment of real time: wait for
            // it rather than let fake seconds run past it.
            const int appearances =
                1 + static_cast<int>(device->CountRequests(1, 0x05)) + extraAppearances;
            device->WaitForAppearance(appearances, 5s);
        }
        if (++tickCount % 10 == 0) {
            session.Connection().Timer_ConnectionTimer();
        }
        identification.Tick(session.Connected(), host.linkCheckEnabled);
    }

    FirmwareContext Context() {
        return FirmwareContext{session.Commands(),
                               log,
                               host,
                               [this] { return ticks.load(); },
                               [this](int percent) { progress.push_back(percent); },
                               nullptr};
    }

    RestartEnvironment Environment() {
        return RestartEnvironment{[this] { Tick(); }, [this] { return Ready(); },
                                  [this] { session.Connection().ClearConnected(); }};
    }

    std::vector<std::uint8_t> ExternalFlash(std::uint32_t size) {
        return device->WithModel(
            [size](DeviceModel& m) { return m.ExternalFlash().Read(0, size); });
    }
    // What lies at the start of the device's main program.
    std::vector<std::uint8_t> MainProgram(std::uint32_t size) {
        return device->WithModel(
            [&](DeviceModel& m) { return m.CpuFlash().Read(m.Layout().mainProgramStart, size); });
    }
    static std::vector<std::uint8_t> Bytes(ImageBytes image) {
        return {image.begin(), image.end()};
    }

    // The screens the device was sent, in order.
    std::vector<std::string> Screens() {
        return device->WithModel([](DeviceModel& m) { return m.Screens(); });
    }

    bool LogHas(const std::string& line) const { return CountLines(log, line) > 0; }

    // Time passes as the link looks at the clock while it waits for an answer,
    // one look per slice of real waiting and no faster, so a device slowed by
    // a busy machine is not taken for a silent one.
    std::uint32_t LinkClock() { return ticks += kLinkLookMs; }

    DeviceSessionOptions SessionOptions() {
        DeviceSessionOptions options;
        options.stack = {.ports = {.portDir = dir.Path(), .systemPorts = false},
                         .clock = [this] { return LinkClock(); },
                         .stop = &host.Stop(),
                         .dialogs = &dialogs,
                         .log = &log};
        options.linkCheckEnabled = [this] { return host.linkCheckEnabled; };
        return options;
    }

    TempDir dir;
    // Where the device is plugged in; empty: on a line in memory.
    std::string portDir = dir.Path();
    AppLog log;
    RecordingDialogs dialogs;
    std::atomic<std::uint32_t> ticks{0};
    RecordingHost host;
    int tickCount = 0;
    bool expectReturn = true;
    // Appearances that no restart explains: a device unplugged and plugged in
    // again by a fault. Without them the wait above would count a restart's
    // return as already seen.
    int extraAppearances = 0;
    std::vector<int> progress;
    DeviceSession session{SessionOptions()};
    DeviceInfo info;
    IdentificationStep identification{DeviceIdentification(session.Commands(), log), info,
                                      [this] { return ticks.load(); }, IdentificationView{}};
    std::unique_ptr<SimulatedDevice> device;
};

}  // namespace firmware_testing
