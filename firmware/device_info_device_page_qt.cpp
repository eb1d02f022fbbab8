#include "firmware/device_info_device_page_qt.h"

#include <QLayout>
#include <QProgressBar>

#include "firmware/device_info_page.h"
#include "protocol/device_session.h"

namespace {

// A restart's wait blocks this long when no event is pending, so it never spins.
constexpr std::chrono::milliseconds kRestartPumpBlock{10};

class DeviceInfoDevicePage final : public DevicePage {
  public:
    explicit DeviceInfoDevicePage(const PageContext& context) {
        QProgressBar* progress = context.progress;
        page_ = new DeviceInfoPage(
            DeviceInfoPageContext{
                context.session->Commands(), *context.log, *context.host, *context.dialogs,
                context.clock, WindowRestartEnvironment(context), context.deviceReady,
                context.showStatus, [progress](int percent) { progress->setValue(percent); }},
            context.tab);
        context.tab->layout()->addWidget(page_);
    }
    ~DeviceInfoDevicePage() override { delete page_; }

    void Relabel() override { page_->Relabel(); }
    void FillInfo(const DeviceInfo& info) override { page_->FillPage(info); }
    void ClearInfo() override { page_->ClearPage(); }
    void SetRenewEnabled(bool enabled) override { page_->SetRenewButtonEnabled(enabled); }

  private:
    DeviceInfoPage* page_ = nullptr;
};

}  // namespace

RestartEnvironment WindowRestartEnvironment(const PageContext& context) {
    OperationHost* host = context.host;
    return {[host] { host->Waits().Pump(kRestartPumpBlock); }, context.deviceReady,
            context.dropConnection};
}

std::unique_ptr<DevicePage> MakeDeviceInfoPage(const PageContext& context) {
    return std::make_unique<DeviceInfoDevicePage>(context);
}
