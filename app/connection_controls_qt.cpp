#include "app/connection_controls_qt.h"

#include <QAction>
#include <QColor>
#include <QLabel>
#include <QPalette>

#include "base/dialogs.h"

ConnectionControls::ConnectionControls(ConnectionManager& manager, Dialogs& dialogs,
                                       WaitRules& waits, Widgets widgets, QObject* parent)
    : QObject(parent), manager_(manager), dialogs_(dialogs), widgets_(widgets) {
    // A port change inside a wait would close the port under the waiting exchange.
    connect(widgets_.autoAction, &QAction::triggered, this, [this, &waits] {
        waits.RunOutsideFrames([this] {
            manager_.Action_Connection_Auto();
            SyncMenu();
        });
    });
    connect(widgets_.manualNumberAction, &QAction::triggered, this, [this, &waits] {
        waits.RunOutsideFrames([this] {
            manager_.Action_Connection_Manual_Number(dialogs_);
            SyncMenu();
        });
    });
    // The manual submenu's own item opens nothing and changes no state: undo the
    // check mark a click on it would leave.
    connect(widgets_.manualAction, &QAction::triggered, this, [this] { SyncMenu(); });
}

void ConnectionControls::ShowIndicator(const LinkIndicator& indicator) {
    QLabel* panel = widgets_.panelConnection;
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window,
                     QColor(indicator.colour.red, indicator.colour.green, indicator.colour.blue));
    palette.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(palette);
    panel->setText(QString::fromStdString(indicator.text));
    widgets_.panelCom->setText(QString::fromStdString(indicator.portText));
}

void ConnectionControls::UpdateActions() {
    manager_.Action_Connection_ManualUpdate();
}

void ConnectionControls::LanguageApplied() {
    manager_.OnLanguageChanged();
    SyncMenu();
}

void ConnectionControls::SyncMenu() {
    const ConnectionMenu& menu = manager_.Menu();
    widgets_.autoAction->setChecked(menu.autoChecked);
    widgets_.manualAction->setChecked(menu.manualChecked);
    if (!menu.manualCaption.empty()) {
        widgets_.manualAction->setText(QString::fromStdString(menu.manualCaption));
    }
}
