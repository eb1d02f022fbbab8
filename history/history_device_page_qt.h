#pragma once

#include <memory>

#include "protocol/device_page.h"

// The history page on its tab of the main window.
std::unique_ptr<DevicePage> MakeHistoryPage(const PageContext& context);
