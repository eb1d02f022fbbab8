#pragma once

#include <memory>

#include "protocol/device_models.h"
#include "protocol/device_page.h"

// The settings page of a model on its tab of the main window: it shows its
// tab when identification names its model.
std::unique_ptr<DevicePage> MakeSettingsPage(const PageContext& context,
                                             const SupportedModel& model);
