#pragma once

#include "firmware/device_restart.h"
#include "protocol/device_page.h"

// What a restart needs of the main window: its timer runs during the waits,
// and the connection is tested and identified afresh.
RestartEnvironment WindowRestartEnvironment(const PageContext& context);
