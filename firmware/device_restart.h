#pragma once

#include <cstdint>
#include <functional>

#include "base/tick_clock.h"
#include "firmware/firmware_context.h"

// What a restart needs of the program around it. Each step of its wait runs
// the connection test (when due) and identification on the restart's own
// thread, so the device is found again on its new port and recognised. A step
// should pause briefly rather than spin.
struct RestartEnvironment {
    // One step of the wait: pauses briefly, then looks for the device.
    std::function<void()> step;
    // The connection test passed and identification recognised the device.
    std::function<bool()> deviceBack;
    // Forgets the connection, so that it is tested and identified afresh.
    std::function<void()> dropConnection;
};

enum class RestartResult : int { Done = 0, Failed = -1, WrongMode = -2 };

// Restarts the device into its boot loader or its main program and waits,
// about 31 s at most, until it is back, recognised and in the asked-for mode.
// The connection test runs during the waits even under an operation that
// holds it off; it is held off again on every way out.
class DeviceRestart {
  public:
    static constexpr std::uint32_t kWaitMs = 1000;
    static constexpr int kWaitRounds = 30;

    DeviceRestart(const FirmwareContext& context, RestartEnvironment environment);

    RestartResult IntoBootLoader() { return Restart(true); }
    RestartResult IntoMainProgram() { return Restart(false); }
    // Waits as long as a restart does until the device is connected and
    // recognised; true at once when it already is.
    bool AwaitDevice();

  private:
    RestartResult Restart(bool bootLoader);
    // False when the program or the user asked to stop meanwhile.
    bool Wait(std::uint32_t ms);
    RestartResult Stopped();

    const FirmwareContext& context_;
    RestartEnvironment environment_;
};

// The restart the settings pages run after a save: true when the device came
// back running its main program.
bool RestartIntoMainProgram(const FirmwareContext& context, RestartEnvironment environment);
