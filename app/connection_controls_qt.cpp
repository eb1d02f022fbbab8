#include "app/connection_controls_qt.h"

#include <QAction>
#include <QColor>
#include <QLabel>
#include <QPalette>

#include "base/dialogs.h"

ConnectionControls::ConnectionControls(ConnectionManager& manager, Dialogs& dialogs,
                                       DeviceWorker& worker, Widgets widgets, QObject* parent)
    : QObject(parent),
      manager_(manager),
      dialogs_(dialogs),
      worker_(worker),
      ui_(this),
      widgets_(widgets) {
    connect(widgets_.autoAction, &QAction::triggered, this,
            [this] { Post([this] { manager_.Action_Connection_Auto(); }); });
    // The cancelled dialog puts back the auto mark as it was when the job began.
    connect(widgets_.manualNumberAction, &QAction::triggered, this, [this] {
        Post([this] {
            manager_.Action_Connection_ManualUpdate();
            manager_.Action_Connection_Manual_Number(dialogs_);
        });
    });
    // The manual submenu's own item opens nothing and changes no state: undo the
    // check mark a click on it would leave.
    connect(widgets_.manualAction, &QAction::triggered, this, [this] { SyncMenu(shown_); });
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

void ConnectionControls::LanguageApplied() {
    Post([this] { manager_.OnLanguageChanged(); });
}

void ConnectionControls::Post(std::function<void()> action) {
    worker_.RunThen(
        [this, action = std::move(action)] {
            action();
            return manager_.Menu();
        },
        ui_, [this](const ConnectionMenu& menu) { SyncMenu(menu); });
}

void ConnectionControls::SyncMenu(const ConnectionMenu& menu) {
    shown_ = menu;
    widgets_.autoAction->setChecked(menu.autoChecked);
    widgets_.manualAction->setChecked(menu.manualChecked);
    if (!menu.manualCaption.empty()) {
        widgets_.manualAction->setText(QString::fromStdString(menu.manualCaption));
    }
}
