// The main window's actions and menus, with the log memo's pop-up menu.
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QToolButton>

#include "app/about_window.h"
#include "app/main_window.h"
#include "app/options_store.h"

QAction* TForm1::MakeAction(const char* name, const char* caption) {
    auto* action = new QAction(QString::fromUtf8(caption), this);
    action->setObjectName(QLatin1String(name));
    return action;
}

void TForm1::BuildActions() {
    actionLogVisible_ = MakeAction("Action_Log_Visible", "Закрыть/показать ЛОГ");
    SetImageIndex(actionLogVisible_, images_, ImageList::kHideLog);
    connect(actionLogVisible_, &QAction::triggered, this, &TForm1::Action_Log_VisibleExecute);

    actionLogClear_ = MakeAction("Action_LOG_Clear", "Очистить лог");
    SetImageIndex(actionLogClear_, images_, ImageList::kClearLog);
    connect(actionLogClear_, &QAction::triggered, this, [this] { log_.Clear(); });

    actionExit_ = MakeAction("Action_Exit", "Выход");
    SetImageIndex(actionExit_, images_, ImageList::kExit);
    actionExit_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    connect(actionExit_, &QAction::triggered, this, &QWidget::close);

    actionConnectionAuto_ = MakeAction("Action_Connection_Auto", "Автоматическое");
    actionConnectionAuto_->setCheckable(true);
    actionConnectionAuto_->setChecked(true);
    actionManualNumber_ = MakeAction("Action_Connection_Manual_Number", "Номер порта :");
    actionManualList_ = MakeAction("Action_Connection_Manual_List", "Выбрать из списка :");
    actionManualList_->setEnabled(false);

    actionSourceInternet_ = MakeAction("Action_Data_Source_Internet", "Интернет");
    actionSourceInternet_->setCheckable(true);
    actionSourceInternet_->setChecked(true);
    connect(actionSourceInternet_, &QAction::triggered, this, [this] { SelectDataSource(true); });
    actionSourceLocal_ = MakeAction("Action_Data_Source_Local", "Локальный");
    actionSourceLocal_->setCheckable(true);
    connect(actionSourceLocal_, &QAction::triggered, this, [this] { SelectDataSource(false); });

    actionLanguage_ = MakeAction("Action_Language", "РУС");
    actionLanguage_->setToolTip(QString::fromUtf8("Выбор языка"));
    SetImageIndex(actionLanguage_, images_, ImageList::kRussian);
    connect(actionLanguage_, &QAction::triggered, this, &TForm1::Action_LanguageExecute);

    actionHelpAbout_ = MakeAction("Action_Help_About", "О программе");
    connect(actionHelpAbout_, &QAction::triggered, this, &TForm1::Action_Help_AboutExecute);
}

void TForm1::BuildMenus() {
    auto named = [](QMenu* menu, const char* menuName, const char* actionName) {
        menu->setObjectName(QLatin1String(menuName));
        if (actionName != nullptr) {
            menu->menuAction()->setObjectName(QLatin1String(actionName));
        }
        return menu;
    };
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    QMenu* file =
        named(bar->addMenu(QString::fromUtf8("Файл")), "MainMenu_File", "Action_Menu_File");
    file->addAction(actionLogVisible_);
    file->addSeparator();
    file->addAction(actionExit_);

    QMenu* settings = named(bar->addMenu(QString::fromUtf8("Настройки")), "N_Nastroiki", nullptr);
    QMenu* connection = named(settings->addMenu(QString::fromUtf8("Соединение")),
                              "MainMenu_Connection", "Action_Menu_Connection");
    connection->addAction(actionConnectionAuto_);
    QMenu* manual = named(connection->addMenu(QString::fromUtf8("Вручную")),
                          "MainMenu_Connection_Manual", "Action_Connection_Manual");
    manual->addAction(actionManualNumber_);
    manual->addAction(actionManualList_);
    actionManual_ = manual->menuAction();
    actionManual_->setCheckable(true);
    auto* connectionGroup = new QActionGroup(this);
    connectionGroup->setObjectName(QStringLiteral("RadioGroup_Connection"));
    connectionGroup->addAction(actionConnectionAuto_);
    connectionGroup->addAction(actionManual_);

    dataSourceMenu_ = named(settings->addMenu(QString::fromUtf8("Источник данных")),
                            "MainMenu_Data_Source", "Action_Data_Source");
    dataSourceMenu_->addAction(actionSourceInternet_);
    dataSourceMenu_->addAction(actionSourceLocal_);
    SetImageIndex(dataSourceMenu_->menuAction(), images_, ImageList::kSourceInternet);
    dataSourceMenu_->menuAction()->setVisible(false);

    QMenu* help =
        named(bar->addMenu(QString::fromUtf8("Помощь")), "MainMenu_Help", "Action_Menu_Help");
    help->addAction(actionHelpAbout_);

    // Blank items push the language item towards the right edge.
    bar->addAction(QString(24, QLatin1Char(' ')))->setObjectName(QStringLiteral("N_Spacer_24"));
    bar->addAction(QString(20, QLatin1Char(' ')))->setObjectName(QStringLiteral("N_Spacer_20"));
    // A menu-bar item with an icon shows the icon alone; the language item
    // shows its flag and its "RUS"/"ENG" caption, so it is a button at the
    // bar's right end.
    auto* language = new QToolButton(bar);
    language->setObjectName(QStringLiteral("ToolButton_Language"));
    language->setDefaultAction(actionLanguage_);
    language->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    language->setAutoRaise(true);
    bar->setCornerWidget(language, Qt::TopRightCorner);

    for (QMenu* menu : {file, settings, connection, manual, help}) {
        connect(menu, &QMenu::aboutToShow, this, &TForm1::UpdateActions);
    }
}

void TForm1::BuildLogPopup() {
    auto* popup = new QMenu(memoLog_);
    popup->setObjectName(QStringLiteral("PopupMenu_Log"));
    popup->addAction(actionLogVisible_);
    popup->addAction(actionLogClear_);
    QAction* save = popup->addAction(QString::fromUtf8("Сохранить"));
    save->setObjectName(QStringLiteral("PopupMenu_Log_Save"));
    save->setEnabled(false);
    memoLog_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(memoLog_, &QWidget::customContextMenuRequested, this, [this, popup](const QPoint& at) {
        UpdateActions();
        popup->popup(memoLog_->viewport()->mapToGlobal(at));
    });
}

void TForm1::UpdateActions() {
    const bool logShown = pageControl_->isTabVisible(TabOfPageNumber(PageLog));
    // The first letter of the Russian "hide" caption has always been a Latin C.
    actionLogVisible_->setText(logShown
                                   ? QString::fromUtf8(PickText("Cкрыть лог", "Hide Report"))
                                   : QString::fromUtf8(PickText("Показать лог", "Show Report")));
    SetImageIndex(actionLogVisible_, images_, logShown ? ImageList::kHideLog : ImageList::kShowLog);
}

void TForm1::Action_Log_VisibleExecute() {
    SetTabVisible(PageLog, !pageControl_->isTabVisible(TabOfPageNumber(PageLog)));
}

void TForm1::SelectDataSource(bool internet) {
    actionSourceInternet_->setChecked(internet);
    actionSourceLocal_->setChecked(!internet);
    SetImageIndex(dataSourceMenu_->menuAction(), images_,
                  internet ? ImageList::kSourceInternet : ImageList::kSourceLocal);
}

void TForm1::Action_LanguageExecute() {
    const Language next = UiLanguage() == Language::Russian ? Language::English : Language::Russian;
    ApplyLanguage(next);
    options_.WriteInt(kOptionLanguage, static_cast<int>(next));
}

void TForm1::Action_Help_AboutExecute() {
    if (about_ != nullptr) {
        about_->ShowAbout();
    }
}
