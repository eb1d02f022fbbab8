#include "history/history_device_page_qt.h"

#include <QLayout>
#include <QWidget>

#include "history/history_commands_device.h"
#include "history/history_page.h"
#include "history/history_reading_result.h"
#include "protocol/device_session.h"
#include "protocol/operation_gate.h"

namespace {

class HistoryDevicePage final : public DevicePage {
  public:
    explicit HistoryDevicePage(const PageContext& context) : device_(context.session->Commands()) {
        OperationGate* gate = context.gate;
        const DeviceInfo* info = context.device;
        page_ = new HistoryPage(
            HistoryPageContext{device_, *context.host, *context.worker, *context.dialogs,
                               context.log,
                               [gate](std::string& notice) { return gate->CheckPage(notice); },
                               [info] { return SensorCount(info->board.boardCode); },
                               [info, ready = context.deviceReady]() -> std::optional<DeviceInfo> {
                                   if (ready && ready() && info->valid) {
                                       return *info;
                                   }
                                   return std::nullopt;
                               }},
            context.tab);
        // The tab itself carries the page's design name.
        page_->setObjectName(QStringLiteral("HistoryPage"));
        context.tab->layout()->addWidget(page_);
    }
    ~HistoryDevicePage() override { delete page_; }

    void Relabel() override { page_->Relabel(); }
    bool MayLeave() const override { return page_->PageControl1Changing(); }

  private:
    CommandsHistoryDevice device_;
    HistoryPage* page_ = nullptr;
};

}  // namespace

std::unique_ptr<DevicePage> MakeHistoryPage(const PageContext& context) {
    return std::make_unique<HistoryDevicePage>(context);
}
