#pragma once

#include <QMainWindow>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/image_list_qt.h"
#include "app/instance_lock.h"
#include "app/proc_timer.h"
#include "app/program_lifetime.h"
#include "base/app_log.h"
#include "base/device_worker.h"
#include "base/language.h"
#include "base/operation_host.h"
#include "base/status_style.h"
#include "base/tick_clock.h"
#include "base/ui_thread_qt.h"
#include "base/worker_dialogs.h"
#include "protocol/device_info.h"
#include "protocol/device_page.h"
#include "serial/port_access_notice.h"

class ConnectionControls;
class OperationGate;
class IdentificationStep;
class DeviceSession;
class Dialogs;
class LinkIndicator;
class LogView;
class OptionsStore;
class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QTabWidget;
class QTimer;
class QVBoxLayout;
class TForm2;
class TForm3;

// The main window: pages, menus, actions, status bar and the 100 ms timer. It
// is the host of the device operations, which run as jobs on its device
// worker: the timer posts the periodic step there, the pages post the user's
// operations, and what the jobs show comes back through the UI thread. A close
// request that arrives while a box is open closes the box and is carried out
// from the top-level loop. Its menus are built in window_menus_qt.cpp, the
// session, worker, gate and pages it composes in window_composition_qt.cpp;
// start-up and shutdown are program_lifetime.h's.
class TForm1 : public QMainWindow, public OperationHost {
    Q_OBJECT
  public:
    // The pages' numbers in the saved options (PAGENUM). Each model's settings
    // tab has the number of its row and sits after the history; with the two
    // built-in models a page's number is also its tab's index.
    enum PageIndex {
        PageMeasuring = 0,
        PageDevHistory = 1,
        PageDevInfo = 4,
        PageLog = 5,
    };

    // Runs the start-up sequence; check StartedUp() before showing the window.
    TForm1(Dialogs& dialogs, OptionsStore& options, TickClock clock = SystemTicks,
           QWidget* parent = nullptr);
    ~TForm1() override;

    StartupResult Startup() const { return startup_; }
    bool StartedUp() const { return startup_ == StartupResult::Running; }

    // The busy indicator and the About window are created after the main window.
    void AttachSecondaryWindows(TForm3* busy, TForm2* about);

    void ShowStatus(const std::string& text, int style);
    void ShowStatusNeutral(const std::string& text) { ShowStatus(text, 0); }
    void ShowStatusSuccess(const std::string& text) { ShowStatus(text, 1); }

    // Both read the worker's state: call them on the worker, or while it is idle.
    bool DeviceRecognized() const;
    // A device answers the connection test on the open port.
    bool Connected() const;
    // Long device operations clear this for their whole run.
    bool LinkCheckEnabled() const { return linkCheckEnabled_; }
    void SetLinkCheckEnabled(bool enabled) override { linkCheckEnabled_ = enabled; }
    // What the last identification learned of the connected device (see Connected).
    const DeviceInfo& Device() const { return deviceInfo_; }

    // The thread that runs everything that talks to the device.
    DeviceWorker& Worker() { return *worker_; }

    // The link to the dosimeter; exists from start-up to shutdown.
    DeviceSession& Session() { return *session_; }

    AppLog& Log() { return log_; }
    // The dialogs for jobs on the worker (see WorkerDialogs).
    Dialogs& UserDialogs() { return workerDialogs_; }
    const std::string& TempFolder() const { return tempFolder_; }

    void ApplyLanguage(Language language);
    void FormActivate();
    void FormDestroy();
    // What the toolkit's idle-time action updates did: refresh action captions.
    void UpdateActions();
    // Brings the log memo up to date at once (it otherwise catches up when idle).
    void FlushLog();

  signals:
    // After the caption table is applied: pages with captions of their own
    // (the settings pages) relabel themselves here.
    void LanguageApplied(Language language);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void SetPagesEnabled(bool enabled) override;
    void SetBusy(bool busy) override;

  private:
    void Timer_ProcTimer();
    void ShowStatusWarning(const std::string& text) { ShowStatus(text, 3); }
    QWidget* Page(int pageNumber) const;
    // The empty layout that the page's own class fills.
    QVBoxLayout* PageLayout(int pageNumber) const;
    void BuildStatusBar();
    void BuildPages();
    void BuildActions();
    void BuildMenus();
    void BuildLogPopup();
    // Runs `action` on this window's thread, later, unless the window is gone.
    void OnGuiThread(std::function<void()> action) { ui_.Post(std::move(action)); }
    QAction* MakeAction(const char* name, const char* caption);
    void ApplyCaption(const char* control, const QString& text);

    void FormCreate();
    // The port, the transport with its three channels and a reset connection
    // state, created in this order.
    void CreateDeviceSession();
    void DestroyDeviceSession();
    void ShowLinkIndicator(const LinkIndicator& indicator);
    // A port the scan could not open for want of permission is named once in
    // the status bar, with what to do in the log.
    void ReportRefusedPort(int port, const std::string& path, int error);
    // Once the first port scan has recorded the ports present at start.
    void ShowStartPortsNotice();
    // Keeps the current page while a page refuses to be left (a history reading).
    void PageControl1Changing(int index);
    void CreateIdentificationStep();
    // The pages that talk to the device, with the gates they ask first.
    void CreateDevicePages();
    void SetTabVisible(int pageNumber, bool visible);
    int TabOfPageNumber(int pageNumber) const;
    int PageNumberOfTab(int tab) const;
    template <typename Call>
    void ForEachPage(Call call) {
        for (const auto& page : pages_) {
            call(*page);
        }
    }

    void Action_Log_VisibleExecute();
    void Action_LanguageExecute();
    void Action_Help_AboutExecute();
    void SelectDataSource(bool internet);

    Dialogs& dialogs_;
    QtUiThread ui_;
    WorkerDialogs workerDialogs_;
    OptionsStore& options_;
    TickClock clock_;
    ProcTimer procTimer_;
    InstanceLock lock_;
    AppLog log_;
    ImageList images_;
    std::string tempFolder_;
    StartupResult startup_ = StartupResult::Running;
    bool destroyed_ = false;
    std::atomic<bool> linkCheckEnabled_{true};
    int currentPage_ = 0;
    PortAccessNotice accessNotice_;
    bool startPortsNoticed_ = false;
    DeviceInfo deviceInfo_;
    std::unique_ptr<IdentificationStep> identification_;
    std::unique_ptr<OperationGate> operationGate_;
    std::unique_ptr<DeviceSession> session_;
    std::unique_ptr<DeviceWorker> worker_;
    std::vector<std::unique_ptr<DevicePage>> pages_;
    ConnectionControls* connectionControls_ = nullptr;

    TForm3* busy_ = nullptr;
    TForm2* about_ = nullptr;

    QTabWidget* pageControl_ = nullptr;
    QPlainTextEdit* memoLog_ = nullptr;
    LogView* logView_ = nullptr;
    QLabel* panelCom_ = nullptr;
    QLabel* panelConnection_ = nullptr;
    QLabel* panelInfoText_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QTimer* timerProc_ = nullptr;
    QTimer* idleUpdate_ = nullptr;

    QAction* actionLogVisible_ = nullptr;
    QAction* actionLogClear_ = nullptr;
    QAction* actionExit_ = nullptr;
    QAction* actionConnectionAuto_ = nullptr;
    QAction* actionManual_ = nullptr;
    QAction* actionManualNumber_ = nullptr;
    QAction* actionManualList_ = nullptr;
    QAction* actionSourceInternet_ = nullptr;
    QAction* actionSourceLocal_ = nullptr;
    QAction* actionLanguage_ = nullptr;
    QAction* actionHelpAbout_ = nullptr;
    QMenu* dataSourceMenu_ = nullptr;
};
