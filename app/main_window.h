#pragma once

#include <QMainWindow>
#include <string>

#include "app/app_log.h"
#include "app/ident_phase.h"
#include "app/image_list_qt.h"
#include "app/instance_lock.h"
#include "app/language.h"
#include "app/proc_timer.h"
#include "app/status_style.h"
#include "app/tick_clock.h"

class Dialogs;
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

enum class StartupResult { Running, AlreadyRunning, TempFolderFailed };

// The main window: pages, menus, actions, status bar and the 100 ms timer, with
// the start-up and shutdown sequences around them.
class TForm1 : public QMainWindow {
    Q_OBJECT
  public:
    enum PageIndex {
        PageMeasuring = 0,
        PageDevHistory,
        PageDevControlK310,
        PageDevControlK520,
        PageDevInfo,
        PageLog,
        PageCount
    };

    // Runs the start-up sequence; check StartedUp() before showing the window.
    TForm1(Dialogs& dialogs, OptionsStore& options, TickClock clock = SystemTicks,
           QWidget* parent = nullptr);
    ~TForm1() override;

    StartupResult Startup() const { return startup_; }
    bool StartedUp() const { return startup_ == StartupResult::Running; }

    // The busy indicator and the About window are created after the main window.
    void AttachSecondaryWindows(TForm3* busy, TForm2* about);
    TForm3* BusyIndicator() const { return busy_; }
    TForm2* AboutWindow() const { return about_; }

    void ShowStatus(const std::string& text, int style);
    void ShowStatusNeutral(const std::string& text) { ShowStatus(text, 0); }
    void ShowStatusSuccess(const std::string& text) { ShowStatus(text, 1); }
    void ShowStatusError(const std::string& text) { ShowStatus(text, 2); }
    void ShowStatusWarning(const std::string& text) { ShowStatus(text, 3); }

    bool DeviceRecognized() const { return deviceRecognized_; }
    void SetDeviceRecognized(bool recognized) { deviceRecognized_ = recognized; }
    // Long device operations clear this for their whole run.
    bool LinkCheckEnabled() const { return linkCheckEnabled_; }
    void SetLinkCheckEnabled(bool enabled) { linkCheckEnabled_ = enabled; }
    IdentState& Identification() { return ident_; }
    bool TickInProgress() const { return procTimer_.TickInProgress(); }
    // Connection and measurement steps of the timer, filled by their subsystems.
    TimerHooks& TimerSteps() { return procTimer_.Hooks(); }

    AppLog& Log() { return log_; }
    Dialogs& UserDialogs() { return dialogs_; }
    const std::string& TempFolder() const { return tempFolder_; }

    QTabWidget* PageControl() const { return pageControl_; }
    QWidget* Page(PageIndex index) const;
    // The empty layout that the page's own class fills.
    QVBoxLayout* PageLayout(PageIndex index) const;
    QPlainTextEdit* MemoLog() const { return memoLog_; }
    QProgressBar* ProgressBar() const { return progressBar_; }
    QLabel* PanelCom() const { return panelCom_; }
    QLabel* PanelConnection() const { return panelConnection_; }
    QLabel* StatusPanel() const { return panelInfoText_; }
    const ImageList& Images() const { return images_; }

    void ApplyLanguage(Language language);
    void FormActivate();
    void FormDestroy();
    void Timer_ProcTimer();
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

  private:
    void BuildStatusBar();
    void BuildPages();
    void BuildActions();
    void BuildMenus();
    void BuildLogPopup();
    QAction* MakeAction(const char* name, const char* caption);
    void ApplyCaption(const char* control, const QString& caption, const char* busyCaption);

    void FormCreate();
    // Parts of start-up and shutdown that belong to the serial link and the
    // report upload; they do nothing until those subsystems are built in.
    void CreateComPort() {}
    void CreateTransport() {}
    void ResetConnectionState() {}
    void UploadLogReport(const std::string& /*logFile*/) {}
    void DestroyComPort() {}
    // No serial link exists yet, so nothing is ever connected.
    bool Connected() const { return false; }
    // Device identification; fills in with the protocol subsystem.
    void IdentifyDevice() {}

    void IdentificationStep();
    void ResetAfterConnectionLoss(std::uint32_t now);
    void SetTabVisible(PageIndex index, bool visible);

    void Action_Log_VisibleExecute();
    void Action_LanguageExecute();
    void Action_Help_AboutExecute();
    void SelectDataSource(bool internet);

    Dialogs& dialogs_;
    OptionsStore& options_;
    TickClock clock_;
    ProcTimer procTimer_;
    InstanceLock lock_;
    AppLog log_;
    ImageList images_;
    std::string tempFolder_;
    StartupResult startup_ = StartupResult::Running;
    bool destroyed_ = false;
    bool deviceRecognized_ = false;
    bool linkCheckEnabled_ = true;
    IdentState ident_;

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
    QAction* actionManualNumber_ = nullptr;
    QAction* actionManualList_ = nullptr;
    QAction* actionSourceInternet_ = nullptr;
    QAction* actionSourceLocal_ = nullptr;
    QAction* actionLanguage_ = nullptr;
    QAction* actionHelpAbout_ = nullptr;
    QMenu* dataSourceMenu_ = nullptr;
};
