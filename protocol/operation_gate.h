#pragma once

#include <functional>
#include <string>

#include "base/app_log.h"
#include "base/dialogs.h"
#include "protocol/gate_inputs.h"

// Why the operation gate refuses; None allows.
enum class GateRefusal {
    None = 0,
    NotConnected = 1,
    NotRecognized = 2,
    UnsupportedBoard = 3,
    UnsupportedVersion = 4,
    FirmwareTooOld = 5,
};

GateRefusal RefusalReason(const GateInputs& inputs);
// The refusal's message in the interface language; empty for None.
std::string RefusalMessage(GateRefusal reason);

// Whether a page may work with the device; `notice` is the text the page
// shows, set only when `changesNotice`.
struct PageVerdict {
    bool allowed = false;
    bool changesNotice = false;
    std::string notice;
};
PageVerdict JudgePage(const GateInputs& inputs);

// The gates that stand before every operation on the device. They keep no
// state: each call reads the inputs afresh.
class OperationGate {
  public:
    using InputSource = std::function<GateInputs()>;

    OperationGate(InputSource inputs, Dialogs& dialogs, AppLog& log);

    // Refused: shows `prefix` (and, with `showMessage`, the reason) in an error
    // box and logs the reason number, unless there is nothing to show.
    bool Check(const std::string& prefix, bool showMessage);
    // The gate before reading or writing settings: the caption, the settings
    // access line and the reason.
    bool CheckSettingsAccess(const std::string& caption);
    // The gate of the measurement and history pages; refusals go to `notice`
    // (left alone while no recognised device is connected).
    bool CheckPage(std::string& notice);

  private:
    InputSource inputs_;
    Dialogs& dialogs_;
    AppLog& log_;
};
