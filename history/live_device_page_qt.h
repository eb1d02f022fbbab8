#pragma once

#include <memory>

#include "protocol/device_page.h"

// The dose-rate plot, recording and alarm under the measurement page's values.
std::unique_ptr<DevicePage> MakeLivePlotPage(const PageContext& context);
