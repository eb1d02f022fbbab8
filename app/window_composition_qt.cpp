// The main window as the composition root: the device session and its
// worker, the operation gate, identification and the device pages, and the
// periodic step that the window's timer posts.
#include <QLabel>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QTabWidget>
#include <algorithm>

#include "app/busy_window.h"
#include "app/connection_controls_qt.h"
#include "app/main_window.h"
#include "app/options_store.h"
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

namespace {

constexpr int kBusyIntervalMs = 50;

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

}  // namespace

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
