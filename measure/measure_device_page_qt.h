#pragma once

#include <memory>

#include "protocol/device_page.h"

// The measurement page on its tab of the main window: its widgets, its step of
// the 100 ms timer and its captions.
std::unique_ptr<DevicePage> MakeMeasurePage(const PageContext& context);
