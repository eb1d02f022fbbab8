#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/app_log.h"
#include "base/device_worker.h"
#include "base/dialogs.h"
#include "base/operation_host.h"
#include "base/tick_clock.h"
#include "protocol/device_info.h"
#include "protocol/identification_step.h"
#include "protocol/rate_reading_feed.h"

class DeviceSession;
class OperationGate;
class QTabWidget;
class QWidget;

// What the main window gives each device page: its tab, the session, the
// gate, the front end's host (stop request, operation guards), the device
// worker and the shared services. Everything outlives the page. The session,
// the gate, the host and `dialogs` are for jobs on the worker; a page posts
// such jobs and shows their results by queued calls.
struct PageContext {
    QWidget* tab = nullptr;             // the page's own tab, an empty layout
    QTabWidget* pageControl = nullptr;  // PageControl1
    DeviceSession* session = nullptr;
    OperationGate* gate = nullptr;
    OperationHost* host = nullptr;
    DeviceWorker* worker = nullptr;
    Dialogs* dialogs = nullptr;
    AppLog* log = nullptr;
    TickClock clock = SystemTicks;
    // What the last identification learned of the connected device.
    const DeviceInfo* device = nullptr;
    // A recognised device answers on the connection (Connected and DeviceRecognized).
    std::function<bool()> deviceReady;
    // Forgets the connection, so that it is tested and identified afresh.
    std::function<void()> dropConnection;
    // The connection test when due, then identification, as the periodic
    // step runs them; restarts call it on the worker while they wait.
    std::function<void()> linkStep;
    // Sets ProgressBar_Bottom_Info (0 to 100); from any thread.
    std::function<void(int percent)> showProgress;
    // Restarts the device into its main program and waits until it is
    // identified again, running the connection test and identification itself;
    // true on success. On the worker.
    std::function<bool()> restartIntoMainProgram;
    // Saves the connected device's settings as a settings file before an
    // operation that may reset them; its path, or empty. On the worker.
    std::function<std::string()> keepSettings;
    // Shows a text in the status bar in one of its styles; from any thread.
    std::function<void(const std::string& text, StatusStyle style)> showStatus;
    // The measurement page's readings, shared by the pages of one session.
    std::shared_ptr<RateReadingFeed> rateReadings;
    // The persisted options by name; on the GUI thread.
    std::function<std::optional<int>(const std::string& name)> readOption;
    std::function<void(const std::string& name, int value)> writeOption;
};

// One page of the main window that works with the device. The window keeps a
// list of them and walks it on every timer tick, identification event and
// language switch; a page overrides what concerns it. Everything runs on the
// GUI thread except TimerStep.
class DevicePage {
  public:
    virtual ~DevicePage() = default;

    // When a tick posts the periodic step: takes what the step needs of the widgets.
    virtual void BeforeTimerStep() {}
    // In every periodic step, on the device worker.
    virtual void TimerStep() {}
    // After the interface language changed.
    virtual void Relabel() {}
    // Identification chose the settings tab of the connected model (null: none).
    virtual void ShowSettingsPage(const SupportedModel* /*model*/) {}
    // Identification learned what is connected, or the device went away.
    virtual void FillInfo(const DeviceInfo& /*info*/) {}
    virtual void ClearInfo() {}
    // Whether the information page may read the device again.
    virtual void SetRenewEnabled(bool /*enabled*/) {}
    // Asked before the page control leaves this page: false keeps it here.
    virtual bool MayLeave() const { return true; }
};

using PageFactory = std::function<std::unique_ptr<DevicePage>(const PageContext& context)>;
