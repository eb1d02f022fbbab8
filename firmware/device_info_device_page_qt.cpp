#include "firmware/device_info_device_page_qt.h"

#include <QLayout>

#include "firmware/device_info_page.h"
#include "firmware/window_restart_environment.h"
#include "protocol/device_session.h"

namespace {

class DeviceInfoDevicePage final : public DevicePage {
  public:
    explicit DeviceInfoDevicePage(const PageContext& context) {
        page_ = new DeviceInfoPage(
            DeviceInfoPageContext{context.session->Commands(), *context.log, *context.host,
                                  *context.worker, *context.dialogs, context.clock,
                                  WindowRestartEnvironment(context), context.deviceReady,
                                  context.showStatus, context.showProgress, context.keepSettings},
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

std::unique_ptr<DevicePage> MakeDeviceInfoPage(const PageContext& context) {
    return std::make_unique<DeviceInfoDevicePage>(context);
}
