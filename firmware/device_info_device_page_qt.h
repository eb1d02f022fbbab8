#pragma once

#include <memory>

#include "firmware/device_restart.h"
#include "protocol/device_page.h"

// What a restart needs of the main window: its timer runs during the waits,
// and the connection is tested and identified afresh.
RestartEnvironment WindowRestartEnvironment(const PageContext& context);

// The device information page on its tab of the main window, filled and
// cleared by identification.
std::unique_ptr<DevicePage> MakeDeviceInfoPage(const PageContext& context);
