#pragma once

#include <QTabWidget>
#include <memory>

#include "protocol/device_page.h"

// A tab that identification shows for one model and hides otherwise.
template <SettingsPage Model>
class ModelTabPage final : public DevicePage {
  public:
    explicit ModelTabPage(const PageContext& context)
        : pageControl_(context.pageControl), tab_(context.tab) {}

    void ShowSettingsPage(SettingsPage page) override {
        pageControl_->setTabVisible(pageControl_->indexOf(tab_), page == Model);
    }

  private:
    QTabWidget* pageControl_;
    QWidget* tab_;
};

template <SettingsPage Model>
std::unique_ptr<DevicePage> MakeModelTabPage(const PageContext& context) {
    return std::make_unique<ModelTabPage<Model>>(context);
}
