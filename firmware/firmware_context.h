#pragma once

#include <atomic>
#include <functional>

#include "base/app_log.h"
#include "base/operation_host.h"
#include "base/tick_clock.h"
#include "protocol/commands.h"

// What the firmware operations work with: the device, the log, the front end
// they run in and its progress bar, the clock that paces progress, and a
// cancel flag that the front end may set from anywhere.
struct FirmwareContext {
    DeviceCommands& commands;
    AppLog& log;
    OperationHost& host;
    TickClock clock = SystemTicks;
    // The bottom progress bar, 0 to 100; may be empty.
    std::function<void(int percent)> showProgress;
    // Set to stop after the current request; may be null.
    const std::atomic<bool>* cancel = nullptr;

    // The user or the program asked to stop: no further request goes out.
    bool Stopping() const { return host.StopRequested() || (cancel != nullptr && cancel->load()); }
    void ShowProgress(int percent) const {
        if (showProgress) {
            showProgress(percent);
        }
    }
};

// How a flash write ended.
enum class WriteOutcome { Done, Failed, Stopped };
