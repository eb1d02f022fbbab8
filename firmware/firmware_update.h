#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "base/dialogs.h"
#include "base/status_style.h"
#include "firmware/device_mode.h"
#include "firmware/device_restart.h"
#include "firmware/firmware_context.h"
#include "protocol/screen_markup.h"

// What the update shows besides boxes: the status panel (the step texts).
using StatusSink = std::function<void(const std::string& text, StatusStyle style)>;

// Saves the connected device's settings as a settings file; the file's path,
// or empty when they could not be saved (the reason logged).
using SettingsKeeper = std::function<std::string()>;

// The five-step firmware update behind the information page's button and the
// command line: boot loader, CPU flash, main program, external flash, reset.
// Step 1 first judges where the CPU image would go and keeps the settings, so
// a refused device stays in its main program and an update that resets the
// settings loses nothing. A failed attempt offers another from step 1;
// success is confirmed by the device reporting the carried version after the
// last restart.
class FirmwareUpdate {
  public:
    enum class Outcome { NotStarted, Succeeded, Failed, Stopped };
    static constexpr int kSteps = 5;

    // `ready` says whether a recognised device is connected.
    FirmwareUpdate(FirmwareContext context, RestartEnvironment environment,
                   ProgressScreens& screens, Dialogs& dialogs, StatusSink status,
                   std::function<bool()> ready);

    // Asks first, then runs attempts while the user wants another one.
    Outcome Run();
    // Stops after the current request; safe from another thread or a signal.
    void Cancel() { cancel_ = true; }
    // Keeps the settings of a device running its main program before the
    // first restart; a device in boot mode has none to give.
    void KeepSettingsWith(SettingsKeeper keeper) { keepSettings_ = std::move(keeper); }

    // The step (1 to 5) the last attempt failed or stopped in; 0 for none.
    int FailedStep() const { return failedStep_; }

    static std::string StepText(int step);
    // What is said when an attempt was stopped in `step`.
    static std::string StoppedText(int step);

  private:
    bool Attempt(bool retry);
    bool RunStep(int step);
    bool Prepared();
    bool SettingsKept(DeviceMode mode);
    bool Restarted(RestartResult result, DeviceMode wanted);
    bool CarriedVersionRunning();
    bool Stopping() const { return context_.Stopping(); }

    std::atomic<bool> cancel_{false};
    FirmwareContext context_;
    RestartEnvironment environment_;
    ProgressScreens& screens_;
    Dialogs& dialogs_;
    StatusSink status_;
    std::function<bool()> ready_;
    SettingsKeeper keepSettings_;
    bool settingsKept_ = false;
    std::uint16_t board_ = 0;
    int failedStep_ = 0;
};
