#pragma once

#include <memory>

#include "protocol/device_page.h"

// The device information page on its tab of the main window, filled and
// cleared by identification.
std::unique_ptr<DevicePage> MakeDeviceInfoPage(const PageContext& context);
