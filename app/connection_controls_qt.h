#pragma once

#include <QObject>

#include "base/device_worker.h"
#include "base/ui_thread_qt.h"
#include "serial/connection_manager.h"

class Dialogs;
class QAction;
class QLabel;

// Binds the connection manager to the connection menu and to the two link
// panels of the bottom bar. The manager lives on the device worker: the menu
// posts its actions there and shows the menu state they leave.
class ConnectionControls : public QObject {
    Q_OBJECT
  public:
    struct Widgets {
        QAction* autoAction = nullptr;
        QAction* manualAction = nullptr;
        QAction* manualNumberAction = nullptr;
        QLabel* panelCom = nullptr;
        QLabel* panelConnection = nullptr;
    };

    // `dialogs` must be safe to call from the worker.
    ConnectionControls(ConnectionManager& manager, Dialogs& dialogs, DeviceWorker& worker,
                       Widgets widgets, QObject* parent);

    void ShowIndicator(const LinkIndicator& indicator);
    // A language switch puts the plain manual caption back.
    void LanguageApplied();

  private:
    // Runs `action` on the worker, then shows the menu state it left.
    void Post(std::function<void()> action);
    void SyncMenu(const ConnectionMenu& menu);

    ConnectionManager& manager_;
    Dialogs& dialogs_;
    DeviceWorker& worker_;
    QtUiThread ui_;
    Widgets widgets_;
    ConnectionMenu shown_;
};
