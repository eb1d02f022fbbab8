#pragma once

#include <QWidget>
#include <functional>
#include <optional>

#include "base/device_worker.h"
#include "base/dialogs.h"
#include "base/ui_thread_qt.h"
#include "firmware/firmware_update.h"
#include "protocol/device_info.h"
#include "protocol/screen_markup.h"

class QPushButton;
class QTextEdit;

// What the information page works with; nothing of the main window itself.
// Everything but the worker is for the update's job on the worker, so the
// status and progress sinks must be safe to call from there.
struct DeviceInfoPageContext {
    DeviceCommands& commands;
    AppLog& log;
    OperationHost& host;
    DeviceWorker& worker;
    Dialogs& dialogs;
    TickClock clock = SystemTicks;
    // Runs the connection test and identification during restarts (see RestartEnvironment).
    RestartEnvironment restart;
    // A recognised device is connected (Connected and DeviceRecognized).
    std::function<bool()> ready;
    // The status panel and the bottom progress bar.
    StatusSink showStatus;
    std::function<void(int percent)> showProgress;
    // Saves the device's settings before the update writes anything.
    SettingsKeeper keepSettings;
};

// The content of the "About Device" tab (TabSheet_DevInfo): what
// identification learned, whether an update is offered, and the button that
// runs the five-step update.
class DeviceInfoPage : public QWidget {
    Q_OBJECT

  public:
    explicit DeviceInfoPage(DeviceInfoPageContext context, QWidget* parent = nullptr);

    // Identification's hooks: fill after every identification, clear when the
    // device goes, and the button follows recognition.
    void FillPage(const DeviceInfo& info);
    void ClearPage();
    void SetRenewButtonEnabled(bool enabled);
    // Captions and the page's lines in the current language.
    void Relabel();

    void BitBtn_ReNewDeviceInfoClick();

  private:
    void ShowLines();

    DeviceInfoPageContext context_;
    QtUiThread ui_;
    ProgressScreens screens_;
    std::optional<DeviceInfo> shown_;
    // An update was posted and has not ended.
    bool updating_ = false;
    QTextEdit* memoInfo_ = nullptr;
    QPushButton* renewButton_ = nullptr;
};
