#include "protocol/identification_step.h"

#include <utility>

#include "base/language.h"

namespace {

// A view may leave out what it does not show.
template <typename Callback, typename... Args>
void Notify(const Callback& callback, Args&&... args) {
    if (callback) {
        callback(std::forward<Args>(args)...);
    }
}

}  // namespace

IdentificationStep::IdentificationStep(IdentificationDevice device, DeviceInfo& info,
                                       TickClock clock, IdentificationView view)
    : device_(std::move(device)), info_(info), clock_(std::move(clock)), view_(std::move(view)) {}

void IdentificationStep::Tick(bool connected, bool linkCheckEnabled) {
    const std::uint32_t now = clock_();
    if (phase_ == IdentPhase::Waiting) {
        if (!connected || !connectionMoment_) {
            // A device already answering at the first tick is first seen now.
            connectionMoment_ = now;
        }
        if (connected && TicksSince(*connectionMoment_, now) >= kSettleMs) {
            IdentifyNow();
        }
    } else if (!connected && linkCheckEnabled) {
        ResetForNextConnection(now);
    }
}

void IdentificationStep::IdentifyNow() {
    recognized_ = device_.identify(info_);
    if (recognized_) {
        Notify(view_.showStatus, info_.modelName + " S/N: " + SerialNumberText(info_.inf1),
               StatusStyle::Success);
        Notify(view_.setRenewButtonEnabled, true);
        Notify(view_.showSettingsPage, FindSupportedModel(info_.board.boardCode));
    } else {
        Notify(view_.showStatus,
               PickText("Неизвестный прибор [", "Unknown Device [") + info_.modelName + "]",
               StatusStyle::Error);
        Notify(view_.setRenewButtonEnabled, false);
    }
    Notify(view_.fillInfoPage, info_);
    phase_ = IdentPhase::Done;
}

void IdentificationStep::ResetForNextConnection(std::uint32_t now) {
    Notify(view_.showStatus, PickText("Ожидание соединения", "Waiting Connection"),
           StatusStyle::Neutral);
    phase_ = IdentPhase::Waiting;
    device_.forgetDeviceData();
    info_.Clear();
    Notify(view_.clearInfoPage);
    Notify(view_.setRenewButtonEnabled, false);
    recognized_ = false;
    connectionMoment_ = now;
    Notify(view_.showSettingsPage, nullptr);
}
