#include "app/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

#include "app/about_window.h"
#include "app/banner.h"
#include "app/busy_window.h"
#include "app/caption_table.h"
#include "app/connection_controls_qt.h"
#include "app/log_file.h"
#include "app/log_view_widget.h"
#include "app/options_store.h"
#include "app/temp_folder.h"
#include "base/dialogs.h"
#include "base/options_path.h"
#include "firmware/device_info_device_page_qt.h"
#include "firmware/window_restart_environment.h"
#include "history/history_device_page_qt.h"
#include "history/live_device_page_qt.h"
#include "measure/measure_device_page_qt.h"
#include "protocol/device_models.h"
#include "protocol/device_session.h"
#include "protocol/identification.h"
#include "protocol/identification_step.h"
#include "protocol/operation_gate.h"
#include "serial/port_diagnosis.h"
#include "serial/start_ports_notice.h"
#include "serial/user_identity.h"
#include "settings/settings_backup.h"
#include "settings/settings_device_page_qt.h"
#include "upload/ini_options.h"
#include "upload/log_report.h"
#include "upload/remote_path.h"

namespace {

constexpr int kTimerProcMs = 100;
constexpr int kModalRetryMs = 10;
constexpr int kBusyIntervalMs = 50;
constexpr int kIdleUpdateMs = 200;
constexpr int kClientWidth = 844;
constexpr int kClientHeight = 362;
constexpr int kBottomBarHeight = 29;
constexpr int kPortPanelWidth = 55;
constexpr int kProgressWidth = 173;

struct PageDesign {
    std::string name;
    std::string caption;
    int number;
};

const char* const kPageNumberProperty = "pageNumber";

// The tabs in their order: a settings tab per model between the history and
// the information page.
std::vector<PageDesign> PageDesigns() {
    std::vector<PageDesign> designs{{"TabSheet_Measuring", "Измерение", TForm1::PageMeasuring},
                                    {"TabSheet_DevHistory", "История", TForm1::PageDevHistory}};
    for (const SupportedModel& model : SupportedModels()) {
        designs.push_back({std::string("TabSheet_DevControl_") + model.tag,
                           std::string(model.tag) + ":Настройки", model.pageNumber});
    }
    designs.push_back({"TabSheet_DevInfo", "О приборе", TForm1::PageDevInfo});
    designs.push_back({"TabSheet_Log", "Лог", TForm1::PageLog});
    return designs;
}

// The device pages and the tabs they fill; a new page is one line here.
struct DevicePageSlot {
    TForm1::PageIndex tab;
    std::unique_ptr<DevicePage> (*make)(const PageContext& context);
};

const DevicePageSlot kDevicePages[] = {
    {TForm1::PageMeasuring, MakeMeasurePage},
    {TForm1::PageMeasuring, MakeLivePlotPage},
    {TForm1::PageDevHistory, MakeHistoryPage},
    {TForm1::PageDevInfo, MakeDeviceInfoPage},
};

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QFont FontWithFallbacks(const QStringList& families, QFont::StyleHint hint) {
    QFont font(families.first());
    font.setFamilies(families);
    font.setStyleHint(hint);
    return font;
}

QLabel* MakePanel(QWidget* parent, const char* name, const QString& text) {
    auto* panel = new QLabel(text, parent);
    panel->setObjectName(QLatin1String(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setAlignment(Qt::AlignCenter);
    panel->setAutoFillBackground(true);
    return panel;
}

}  // namespace

TForm1::TForm1(Dialogs& dialogs, OptionsStore& options, TickClock clock, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      ui_(this),
      workerDialogs_(dialogs, ui_, Stop()),
      options_(options),
      clock_(clock),
      procTimer_(std::move(clock)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Dravo Explorer "));
    setFont(FontWithFallbacks({QStringLiteral("Arial Unicode MS"), QStringLiteral("DejaVu Sans")},
                              QFont::SansSerif));
    BuildStatusBar();
    BuildPages();
    BuildActions();
    BuildMenus();
    BuildLogPopup();
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());

    timerProc_ = new QTimer(this);
    timerProc_->setObjectName(QStringLiteral("Timer_Proc"));
    timerProc_->setInterval(kTimerProcMs);
    connect(timerProc_, &QTimer::timeout, this, &TForm1::Timer_ProcTimer);
    idleUpdate_ = new QTimer(this);
    idleUpdate_->setInterval(kIdleUpdateMs);
    connect(idleUpdate_, &QTimer::timeout, this, &TForm1::UpdateActions);

    FormCreate();
}

TForm1::~TForm1() {
    FormDestroy();
    delete logView_;
}

void TForm1::BuildStatusBar() {
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    pageControl_ = new QTabWidget(central);
    pageControl_->setObjectName(QStringLiteral("PageControl1"));
    column->addWidget(pageControl_, 1);

    auto* bottom = new QWidget(central);
    bottom->setObjectName(QStringLiteral("Panel_Bottom"));
    bottom->setFixedHeight(kBottomBarHeight);
    auto* row = new QHBoxLayout(bottom);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    panelCom_ = MakePanel(bottom, "Panel_COM", QString());
    panelCom_->setFixedWidth(kPortPanelWidth);
    panelConnection_ = MakePanel(bottom, "Panel_Connection", QString());
    panelConnection_->setFixedWidth(kPortPanelWidth);
    panelInfoText_ = MakePanel(bottom, "Panel_Bottom_Info_Text", Text("Ожидание соединения"));
    progressBar_ = new QProgressBar(bottom);
    progressBar_->setObjectName(QStringLiteral("ProgressBar_Bottom_Info"));
    progressBar_->setFixedWidth(kProgressWidth);
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(false);
    row->addWidget(panelCom_);
    row->addWidget(panelConnection_);
    row->addWidget(panelInfoText_, 1);
    row->addWidget(progressBar_);
    column->addWidget(bottom);
    setCentralWidget(central);
    ShowStatusNeutral("Ожидание соединения");
}

void TForm1::BuildPages() {
    for (const PageDesign& design : PageDesigns()) {
        auto* page = new QWidget(pageControl_);
        page->setObjectName(QString::fromStdString(design.name));
        page->setProperty(kPageNumberProperty, design.number);
        new QVBoxLayout(page);
        pageControl_->addTab(page, QString::fromStdString(design.caption));
    }
    memoLog_ = new QPlainTextEdit(Page(PageLog));
    memoLog_->setObjectName(QStringLiteral("Memo_Log"));
    memoLog_->setReadOnly(true);
    memoLog_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memoLog_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoLog_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoLog_->setFont(
        FontWithFallbacks({QStringLiteral("Courier New"), QStringLiteral("DejaVu Sans Mono"),
                           QStringLiteral("monospace")},
                          QFont::TypeWriter));
    PageLayout(PageLog)->addWidget(memoLog_);
    logView_ = new LogView(log_, memoLog_);
}

QWidget* TForm1::Page(int pageNumber) const {
    return pageControl_->widget(TabOfPageNumber(pageNumber));
}

QVBoxLayout* TForm1::PageLayout(int pageNumber) const {
    return static_cast<QVBoxLayout*>(Page(pageNumber)->layout());
}

int TForm1::TabOfPageNumber(int pageNumber) const {
    for (int tab = 0; tab < pageControl_->count(); ++tab) {
        if (PageNumberOfTab(tab) == pageNumber) {
            return tab;
        }
    }
    return -1;
}

int TForm1::PageNumberOfTab(int tab) const {
    return pageControl_->widget(tab)->property(kPageNumberProperty).toInt();
}

QAction* TForm1::MakeAction(const char* name, const char* caption) {
    auto* action = new QAction(Text(caption), this);
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
    actionLanguage_->setToolTip(Text("Выбор языка"));
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

    QMenu* file = named(bar->addMenu(Text("Файл")), "MainMenu_File", "Action_Menu_File");
    file->addAction(actionLogVisible_);
    file->addSeparator();
    file->addAction(actionExit_);

    QMenu* settings = named(bar->addMenu(Text("Настройки")), "N_Nastroiki", nullptr);
    QMenu* connection = named(settings->addMenu(Text("Соединение")), "MainMenu_Connection",
                              "Action_Menu_Connection");
    connection->addAction(actionConnectionAuto_);
    QMenu* manual = named(connection->addMenu(Text("Вручную")), "MainMenu_Connection_Manual",
                          "Action_Connection_Manual");
    manual->addAction(actionManualNumber_);
    manual->addAction(actionManualList_);
    actionManual_ = manual->menuAction();
    actionManual_->setCheckable(true);
    auto* connectionGroup = new QActionGroup(this);
    connectionGroup->setObjectName(QStringLiteral("RadioGroup_Connection"));
    connectionGroup->addAction(actionConnectionAuto_);
    connectionGroup->addAction(actionManual_);

    dataSourceMenu_ = named(settings->addMenu(Text("Источник данных")), "MainMenu_Data_Source",
                            "Action_Data_Source");
    dataSourceMenu_->addAction(actionSourceInternet_);
    dataSourceMenu_->addAction(actionSourceLocal_);
    SetImageIndex(dataSourceMenu_->menuAction(), images_, ImageList::kSourceInternet);
    dataSourceMenu_->menuAction()->setVisible(false);

    QMenu* help = named(bar->addMenu(Text("Помощь")), "MainMenu_Help", "Action_Menu_Help");
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
    QAction* save = popup->addAction(Text("Сохранить"));
    save->setObjectName(QStringLiteral("PopupMenu_Log_Save"));
    save->setEnabled(false);
    memoLog_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(memoLog_, &QWidget::customContextMenuRequested, this, [this, popup](const QPoint& at) {
        UpdateActions();
        popup->popup(memoLog_->viewport()->mapToGlobal(at));
    });
}

void TForm1::AttachSecondaryWindows(TForm3* busy, TForm2* about) {
    busy_ = busy;
    about_ = about;
}

void TForm1::FormCreate() {
    CreateDeviceSession();
    ApplyLanguage(RestoredLanguage(options_));
    int lastNumber = 0;
    for (int tab = 0; tab < pageControl_->count(); ++tab) {
        lastNumber = std::max(lastNumber, PageNumberOfTab(tab));
    }
    pageControl_->setCurrentIndex(
        std::max(0, TabOfPageNumber(RestoredPageIndex(options_, lastNumber + 1))));
    currentPage_ = pageControl_->currentIndex();
    connect(pageControl_, &QTabWidget::currentChanged, this, &TForm1::PageControl1Changing);

    if (!lock_.Acquire()) {
        startup_ = StartupResult::AlreadyRunning;
        dialogs_.Warning(PickText("Приложение уже запущено!", "Application alredy running!"));
        return;
    }
    const StagingFolder staging = PrepareStagingFolder();
    if (staging.path.empty()) {
        startup_ = StartupResult::TempFolderFailed;
        dialogs_.Error(
            PickText("Ошибка создания временного каталога", "Error of creation temporary folder"));
        return;
    }
    tempFolder_ = staging.path;
    SetTabVisible(PageLog, false);
    for (const auto& line : StartBanner(LocalDateTimeText())) {
        log_.AddLine(line);
    }
    if (staging.privateFolder) {
        log_.AddLine(PickText("Временный каталог " + TempFolderPath() +
                                  " не используется: это ссылка, чужой каталог или в него могут "
                                  "писать другие; используется " +
                                  tempFolder_,
                              "The temporary folder " + TempFolderPath() +
                                  " is not used: it is a link, another user's folder or others "
                                  "may write to it; using " +
                                  tempFolder_));
    }
    if (lock_.Unavailable()) {
        log_.AddLine(
            PickText("Блокировка второго запуска недоступна: нет места для файла блокировки",
                     "Single-instance lock unavailable: no folder for the lock file"));
    }
    for (const SupportedModel& model : SupportedModels()) {
        SetTabVisible(model.pageNumber, false);
    }
    UpdateActions();
    timerProc_->start();
    idleUpdate_->start();
}

void TForm1::FormDestroy() {
    // The running job ends at its next exchange; nothing talks to the device after this.
    worker_->Shutdown();
    if (destroyed_) {
        return;
    }
    destroyed_ = true;
    timerProc_->stop();
    idleUpdate_->stop();
    lock_.Release();
    // An instance that stopped during start-up leaves the running one's
    // options, log and staging folder alone.
    if (!StartedUp()) {
        return;
    }
    options_.WriteInt(kOptionPageNum, PageNumberOfTab(pageControl_->currentIndex()));
    for (const auto& line : EndBanner(LocalDateTimeText())) {
        log_.AddLine(line);
    }
    const std::string logFile = DefaultLogFileName(tempFolder_);
    if (!SaveLogFile(log_, logFile, tempFolder_)) {
        std::fprintf(stderr, "dravo-explorer: cannot write %s\n", logFile.c_str());
    }
    UploadLogReport(logFile);
    DestroyDeviceSession();
}

// The session's hooks run on the worker; what they show goes to this thread.
void TForm1::CreateDeviceSession() {
    DeviceSessionOptions options;
    options.stack.clock = clock_;
    options.stack.stop = &Stop();
    options.stack.dialogs = &workerDialogs_;
    options.stack.log = &log_;
    options.linkCheckEnabled = [this] { return linkCheckEnabled_.load(); };
    options.showIndicator = [this](const LinkIndicator& indicator) {
        OnGuiThread([this, indicator] { ShowLinkIndicator(indicator); });
    };
    options.openFailed = [this](int port, const std::string& path, int error) {
        OnGuiThread([this, port, path, error] { ReportRefusedPort(port, path, error); });
    };
    options.opened = [this](int port) {
        OnGuiThread([this, port] { accessNotice_.Forget(port); });
    };
    session_ = std::make_unique<DeviceSession>(std::move(options));
    worker_ = std::make_unique<DeviceWorker>(Stop());
    connectionControls_ = new ConnectionControls(
        session_->Connection(), workerDialogs_, *worker_,
        {actionConnectionAuto_, actionManual_, actionManualNumber_, panelCom_, panelConnection_},
        this);
    procTimer_.SetConnectionStep([this] { session_->Connection().Timer_ConnectionTimer(); });
    CreateIdentificationStep();
    CreateDevicePages();
}

void TForm1::CreateDevicePages() {
    operationGate_ = std::make_unique<OperationGate>(
        [this] { return GateInputs::From(Connected(), DeviceRecognized(), session_->Commands()); },
        workerDialogs_, log_);
    PageContext context;
    context.pageControl = pageControl_;
    context.session = session_.get();
    context.gate = operationGate_.get();
    context.host = this;
    context.worker = worker_.get();
    context.dialogs = &workerDialogs_;
    context.log = &log_;
    context.clock = clock_;
    context.device = &deviceInfo_;
    context.deviceReady = [this] { return Connected() && DeviceRecognized(); };
    context.dropConnection = [this] { session_->Connection().ClearConnected(); };
    context.linkStep = [this] { procTimer_.LinkStep(); };
    context.showProgress = [this](int percent) {
        OnGuiThread([this, percent] { progressBar_->setValue(percent); });
    };
    context.restartIntoMainProgram = [this, restart = WindowRestartEnvironment(context),
                                      progress = context.showProgress] {
        const FirmwareContext firmware{session_->Commands(), log_, *this, clock_, progress};
        return RestartIntoMainProgram(firmware, restart);
    };
    context.keepSettings = [this] {
        return BackUpDeviceSettings(session_->Commands(), *this, workerDialogs_, log_,
                                    SettingsBackupFolder());
    };
    context.showStatus = [this](const std::string& text, StatusStyle style) {
        OnGuiThread([this, text, style] { ShowStatus(text, static_cast<int>(style)); });
    };
    context.rateReadings = std::make_shared<RateReadingFeed>();
    context.readOption = [this](const std::string& name) { return options_.ReadInt(name); };
    context.writeOption = [this](const std::string& name, int value) {
        options_.WriteInt(name, value);
    };
    for (const DevicePageSlot& slot : kDevicePages) {
        context.tab = Page(slot.tab);
        pages_.push_back(slot.make(context));
    }
    for (const SupportedModel& model : SupportedModels()) {
        context.tab = Page(model.pageNumber);
        pages_.push_back(MakeSettingsPage(context, model));
    }
    for (const auto& page : pages_) {
        procTimer_.AddStep([page = page.get()] { page->TimerStep(); });
    }
}

void TForm1::DestroyDeviceSession() {
    procTimer_.ClearSteps();
    pages_.clear();
    identification_.reset();
    delete connectionControls_;
    connectionControls_ = nullptr;
    session_.reset();
}

void TForm1::UploadLogReport(const std::string& logFile) {
    IniGroupOptions uploadOptions(OptionsFilePath(), kUploadGroup);
    UploadFeedback feedback;
    feedback.statusText = [this](const std::string& text) {
        panelInfoText_->setText(QString::fromStdString(text));
        panelInfoText_->repaint();
    };
    feedback.progress = [this](int percent) { progressBar_->setValue(percent); };
    ::UploadLogReport(ReadUploadConfig(uploadOptions), logFile, ReportSerialDigits(deviceInfo_),
                      feedback, log_);
}

void TForm1::PageControl1Changing(int index) {
    const bool refused = std::any_of(pages_.begin(), pages_.end(),
                                     [](const auto& page) { return !page->MayLeave(); });
    if (refused && index != currentPage_) {
        const QSignalBlocker blocker(pageControl_);
        pageControl_->setCurrentIndex(currentPage_);
        return;
    }
    currentPage_ = index;
}

void TForm1::ReportRefusedPort(int port, const std::string& path, int error) {
    const PortDiagnosis diagnosis =
        DiagnoseOpenError(path, error, SystemRoots{}, UserIdentity::Current());
    if (const auto notice = accessNotice_.Refused(port, diagnosis.problem)) {
        ShowStatusWarning(*notice);
        log_.AddLine(DiagnosisSuggestion(diagnosis));
    }
}

void TForm1::ShowStartPortsNotice() {
    startPortsNoticed_ = true;
    const auto notice = StartPortsNotice(session_->Ports().StartPorts(),
                                         EnumeratePorts(PortTableConfig::FromEnvironment()));
    if (notice && !Connected()) {
        ShowStatusNeutral(*notice);
        log_.AddLine(*notice);
    }
}

void TForm1::ShowLinkIndicator(const LinkIndicator& indicator) {
    if (connectionControls_ != nullptr) {
        connectionControls_->ShowIndicator(indicator);
    }
}

bool TForm1::Connected() const {
    return session_ != nullptr && session_->Connected();
}

void TForm1::FormActivate() {
    if (about_ != nullptr && about_->AboutShowing()) {
        about_->close();
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    // The running job ends at its next exchange and waits for no answer.
    RequestStop();
    QWidget* box = QApplication::activeModalWidget();
    if (workerDialogs_.Showing() > 0 || box != nullptr) {
        // A box's own loop is on the stack: close it, and the window from the
        // top-level loop once it has returned.
        if (box != nullptr) {
            box->close();
        }
        event->ignore();
        QTimer::singleShot(kModalRetryMs, this, [this] { close(); });
        return;
    }
    FormDestroy();
    if (busy_ != nullptr) {
        busy_->HideBusy();
    }
    if (about_ != nullptr) {
        about_->close();
    }
    event->accept();
    QCoreApplication::quit();
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        FormActivate();
    }
    QMainWindow::changeEvent(event);
}

// Operation guards switch these from the worker.
void TForm1::SetPagesEnabled(bool enabled) {
    OnGuiThread([this, enabled] { pageControl_->setEnabled(enabled); });
}

void TForm1::SetBusy(bool busy) {
    OnGuiThread([this, busy] {
        if (busy_ == nullptr) {
            return;
        }
        if (busy) {
            busy_->ShowBusy(kBusyIntervalMs);
        } else {
            busy_->HideBusy();
        }
    });
}

// The tick guard: a tick posts no step while the last one has not ended.
void TForm1::Timer_ProcTimer() {
    if (!startPortsNoticed_ && session_->Ports().StartPortsRecorded()) {
        ShowStartPortsNotice();
    }
    if (StopRequested() || worker_->PeriodicPending()) {
        return;
    }
    ForEachPage([](DevicePage& page) { page.BeforeTimerStep(); });
    worker_->PostPeriodic([this] { procTimer_.Tick(); });
}

// Identification runs on the worker; the pages learn of it on this thread.
void TForm1::CreateIdentificationStep() {
    IdentificationView view;
    view.showStatus = [this](const std::string& text, StatusStyle style) {
        OnGuiThread([this, text, style] { ShowStatus(text, static_cast<int>(style)); });
    };
    view.showSettingsPage = [this](const SupportedModel* model) {
        OnGuiThread([this, model] {
            ForEachPage([model](DevicePage& each) { each.ShowSettingsPage(model); });
        });
    };
    view.fillInfoPage = [this](const DeviceInfo& info) {
        OnGuiThread(
            [this, info] { ForEachPage([&info](DevicePage& each) { each.FillInfo(info); }); });
    };
    view.clearInfoPage = [this] {
        OnGuiThread([this] { ForEachPage([](DevicePage& each) { each.ClearInfo(); }); });
    };
    view.setRenewButtonEnabled = [this](bool enabled) {
        OnGuiThread([this, enabled] {
            ForEachPage([enabled](DevicePage& each) { each.SetRenewEnabled(enabled); });
        });
    };
    identification_ = std::make_unique<IdentificationStep>(
        DeviceIdentification(session_->Commands(), log_), deviceInfo_, clock_, std::move(view));
    procTimer_.SetIdentificationStep(
        [this] { identification_->Tick(Connected(), linkCheckEnabled_.load()); });
}

bool TForm1::DeviceRecognized() const {
    return identification_ != nullptr && identification_->DeviceRecognized();
}

void TForm1::ShowStatus(const std::string& text, int style) {
    const StatusColours colours = ColoursOf(StatusStyleFromNumber(style));
    QPalette palette = panelInfoText_->palette();
    if (colours.systemColours) {
        palette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
        palette.setColor(QPalette::WindowText, QApplication::palette().color(QPalette::WindowText));
    } else {
        palette.setColor(QPalette::Window, QColor::fromRgb(colours.panelRgb));
        palette.setColor(QPalette::WindowText, QColor::fromRgb(colours.textRgb));
    }
    panelInfoText_->setPalette(palette);
    QFont font = panelInfoText_->font();
    font.setBold(colours.bold);
    panelInfoText_->setFont(font);
    panelInfoText_->setText(QString::fromStdString(text));
}

void TForm1::SetTabVisible(int pageNumber, bool visible) {
    pageControl_->setTabVisible(TabOfPageNumber(pageNumber), visible);
}

void TForm1::FlushLog() {
    logView_->Flush();
}

void TForm1::UpdateActions() {
    const bool logShown = pageControl_->isTabVisible(TabOfPageNumber(PageLog));
    // The first letter of the Russian "hide" caption has always been a Latin C.
    actionLogVisible_->setText(logShown ? Text(PickText("Cкрыть лог", "Hide Report"))
                                        : Text(PickText("Показать лог", "Show Report")));
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

void TForm1::ApplyLanguage(Language language) {
    SetUiLanguage(language);
    const bool english = language == Language::English;
    actionLanguage_->setText(english ? QStringLiteral("ENG") : QStringLiteral("RUS"));
    SetImageIndex(actionLanguage_, images_, english ? ImageList::kEnglish : ImageList::kRussian);
    setWindowTitle(QLatin1String(kMainWindowCaption));
    for (const CaptionRow& row : MainCaptionTable()) {
        ApplyCaption(row.control, Text(PickText(row.russian, row.english)));
    }
    if (connectionControls_ != nullptr) {
        connectionControls_->LanguageApplied();
    }
    ForEachPage([](DevicePage& page) { page.Relabel(); });
    emit LanguageApplied(language);
}

void TForm1::ApplyCaption(const char* control, const QString& text) {
    QObject* target = findChild<QObject*>(QLatin1String(control));
    if (target == nullptr) {
        return;
    }
    if (auto* action = qobject_cast<QAction*>(target)) {
        action->setText(text);
    } else if (auto* menu = qobject_cast<QMenu*>(target)) {
        menu->setTitle(text);
    } else if (auto* widget = qobject_cast<QWidget*>(target);
               widget != nullptr && pageControl_->indexOf(widget) >= 0) {
        pageControl_->setTabText(pageControl_->indexOf(widget), text);
    } else {
        target->setProperty(target->property("title").isValid() ? "title" : "text", text);
    }
}
