#pragma once

#include <memory>

#include "protocol/device_page.h"

// The settings pages of the two models on their tabs of the main window: each
// shows its tab when identification names its model.
std::unique_ptr<DevicePage> MakeK310SettingsPage(const PageContext& context);
std::unique_ptr<DevicePage> MakeK520SettingsPage(const PageContext& context);
