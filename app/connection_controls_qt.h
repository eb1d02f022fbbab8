#pragma once

#include <QObject>

#include "base/wait_rules.h"
#include "serial/connection_manager.h"

class Dialogs;
class QAction;
class QLabel;

// Binds the connection manager to the connection menu and to the two link
// panels of the bottom bar.
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

    // The menu's port changes happen outside device waits (`waits`).
    ConnectionControls(ConnectionManager& manager, Dialogs& dialogs, WaitRules& waits,
                       Widgets widgets, QObject* parent);

    void ShowIndicator(const LinkIndicator& indicator);
    // Idle-time update: the manual action records the auto check mark.
    void UpdateActions();
    // A language switch puts the plain manual caption back.
    void LanguageApplied();

  private:
    void SyncMenu();

    ConnectionManager& manager_;
    Dialogs& dialogs_;
    Widgets widgets_;
};
