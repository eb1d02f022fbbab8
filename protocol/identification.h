#pragma once

#include "base/app_log.h"
#include "protocol/commands.h"
#include "protocol/device_info.h"
#include "protocol/identification_step.h"

// Identifies the connected device: reads its board, CPU, Inf1Block, unique id
// and firmware versions into `info` and writes the identification block to the
// log. True only for a supported model read completely; `info.valid` then is
// set. On failure `info` keeps the model name (for the status text) and
// whatever the steps before the failing one copied, with `valid` false.
bool Identify(DeviceCommands& commands, AppLog& log, DeviceInfo& info);

// The identification step's device work done by the command layer.
IdentificationDevice DeviceIdentification(DeviceCommands& commands, AppLog& log);
