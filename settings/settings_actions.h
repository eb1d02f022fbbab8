#pragma once

#include <functional>
#include <string>

#include "base/app_log.h"
#include "base/dialogs.h"
#include "base/operation_host.h"
#include "base/operation_outcome.h"
#include "protocol/commands.h"
#include "settings/device_clock.h"
#include "settings/settings_transfer.h"
#include "settings/settings_values.h"

// What a settings page works with; everything outlives the page.
struct SettingsEnvironment {
    DeviceCommands& commands;
    OperationHost& host;
    Dialogs& dialogs;
    AppLog& log;
    // The settings access check: shows its own box when it refuses.
    std::function<bool(const std::string& caption)> accessCheck;
    // Restarts the device into its main program and waits until it is
    // identified again; true on success. Empty: the device is not restarted.
    std::function<bool()> restart;
    LocalTimeSource localTime = PcLocalTime;
};

// What a settings page shows: the codes of its settings and its two fields.
struct SettingsPageState {
    explicit SettingsPageState(const ModelDescription& model)
        : values(model), calibrationText(model.defaultCalibration) {}

    SettingsValues values;
    // The device's units code lay past the list: the threshold lists show the
    // last unit system's column while the units list shows nothing.
    bool unitsPastList = false;
    std::string clockText;
    std::string calibrationText;
};

// The settings page without its widgets: each user action with its questions,
// messages and the operation frame (pages off and the connection test quiet
// until every way out).
class SettingsActions {
  public:
    SettingsActions(const ModelDescription& model, SettingsEnvironment environment);

    const ModelDescription& Model() const { return model_; }
    SettingsPageState& State() { return state_; }
    const SettingsEnvironment& Environment() const { return env_; }

    // Each shows its boxes and tells how it ended.
    OperationOutcome Read();
    OperationOutcome Save();
    void Default();
    OperationOutcome WriteTime();
    OperationOutcome Restart();
    OperationOutcome SaveCalibration();
    // What the page shows now, to a settings file; refused while undefined.
    bool SaveToFile(const std::string& path);
    // Checks the whole file, then shows its settings; nothing is sent.
    bool LoadFromFile(const std::string& path);

  private:
    // Shows `text` in an error box: a failed exchange, or `kind` when given.
    OperationOutcome Fail(const std::string& text);
    OperationOutcome Fail(OutcomeKind kind, const std::string& text);
    // A question answered No: by the user, or for a closing program.
    OperationOutcome Declined() const;
    std::string SerialNumber() const;

    const ModelDescription& model_;
    SettingsEnvironment env_;
    SettingsTransfer transfer_;
    SettingsPageState state_;
};
