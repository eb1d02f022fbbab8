#include "settings/settings_device_page_qt.h"

#include <QLayout>

#include "protocol/device_session.h"
#include "protocol/operation_gate.h"
#include "settings/settings_page.h"
#include "settings/settings_texts.h"

namespace {

class SettingsDevicePage final : public DevicePage {
  public:
    SettingsDevicePage(const PageContext& context, const SupportedModel& model) : model_(model) {
        OperationGate* gate = context.gate;
        SettingsEnvironment environment{
            context.session->Commands(),
            *context.host,
            *context.dialogs,
            *context.log,
            [gate](const std::string& caption) { return gate->CheckSettingsAccess(caption); },
            context.restartIntoMainProgram,
            PcLocalTime};
        page_ = new SettingsPage(
            model, SettingsPageContext{std::move(environment), *context.worker, {}}, context.tab);
        // The tab itself carries the page's design name.
        page_->setObjectName(page_->objectName() + QStringLiteral("_Page"));
        context.tab->layout()->addWidget(page_);
        page_->BindPageControl(context.pageControl, context.tab);
        page_->Hide();
    }
    ~SettingsDevicePage() override { delete page_; }

    void Relabel() override { page_->Relabel(); }
    void ShowSettingsPage(const SupportedModel* model) override {
        if (model == &model_) {
            page_->Show();
        } else {
            page_->Hide();
        }
    }

  private:
    const SupportedModel& model_;
    SettingsPage* page_ = nullptr;
};

}  // namespace

std::unique_ptr<DevicePage> MakeSettingsPage(const PageContext& context,
                                             const SupportedModel& model) {
    return std::make_unique<SettingsDevicePage>(context, model);
}
