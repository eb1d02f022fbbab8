#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/status_style.h"
#include "base/tick_clock.h"
#include "protocol/device_info.h"
#include "protocol/device_models.h"

enum class IdentPhase { Waiting, Done };

// What the identification step shows; the main window binds these to its
// status bar, update button, settings tabs and information page; any may be
// left empty.
struct IdentificationView {
    std::function<void(const std::string& text, StatusStyle style)> showStatus;
    std::function<void(bool enabled)> setRenewButtonEnabled;
    // The settings tab of the connected model; the others are hidden (null hides all).
    std::function<void(const SupportedModel* model)> showSettingsPage;
    std::function<void(const DeviceInfo& info)> fillInfoPage;
    std::function<void()> clearInfoPage;
};

// The device work behind the step: identification into the record, and
// forgetting what the last identification cached.
struct IdentificationDevice {
    std::function<bool(DeviceInfo& info)> identify;
    std::function<void()> forgetDeviceData;
};

// Identifies each new connection once, after it has held for a second, and
// resets the display when an identified device goes away. The main window's
// timer calls Tick on every tick it runs.
class IdentificationStep {
  public:
    static constexpr std::uint32_t kSettleMs = 1000;

    IdentificationStep(IdentificationDevice device, DeviceInfo& info, TickClock clock,
                       IdentificationView view);

    // `linkCheckEnabled` false means a long operation owns the link: a lost
    // connection is then left for the operation to deal with.
    void Tick(bool connected, bool linkCheckEnabled);

    IdentPhase Phase() const { return phase_; }
    bool DeviceRecognized() const { return recognized_; }

  private:
    void IdentifyNow();
    void ResetForNextConnection(std::uint32_t now);

    IdentificationDevice device_;
    DeviceInfo& info_;
    TickClock clock_;
    IdentificationView view_;
    IdentPhase phase_ = IdentPhase::Waiting;
    bool recognized_ = false;
    // When the current connection was first seen; none before the first tick.
    std::optional<std::uint32_t> connectionMoment_;
};
