#include "measure/measure_device_page_qt.h"

#include <QTabWidget>
#include <QVBoxLayout>

#include "measure/measure_commands_device.h"
#include "measure/measure_page.h"
#include "protocol/device_session.h"
#include "protocol/operation_gate.h"

namespace {

class MeasureDevicePage final : public DevicePage {
  public:
    explicit MeasureDevicePage(const PageContext& context)
        : device_(context.session->Commands(), context.log) {
        OperationGate* gate = context.gate;
        page_ = new MeasurePage(
            device_, [gate](std::string& notice) { return gate->CheckPage(notice); },
            *context.dialogs, context.clock, *context.worker, *context.host, context.tab);
        context.tab->layout()->addWidget(page_);
        page_->BindPageControl(context.pageControl);
        page_->Logic().SetReadingObserver(
            [feed = context.rateReadings](int units, std::uint32_t rateWord, int level) {
                if (feed) {
                    feed->Publish({units, rateWord, level});
                }
            });
    }
    // The widget reads through the device adapter: it goes first.
    ~MeasureDevicePage() override { delete page_; }

    void BeforeTimerStep() override { page_->TakeControlStates(); }
    void TimerStep() override { page_->MeasureStep(); }
    void Relabel() override { page_->Relabel(); }

  private:
    CommandsMeasureDevice device_;
    MeasurePage* page_ = nullptr;
};

}  // namespace

std::unique_ptr<DevicePage> MakeMeasurePage(const PageContext& context) {
    return std::make_unique<MeasureDevicePage>(context);
}
