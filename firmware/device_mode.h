#pragma once

#include "base/app_log.h"
#include "protocol/commands.h"

// What the device runs, as the update checks it.
enum class DeviceMode : int { Unreadable = -1, BootLoader = 0, MainProgram = 1 };

// Reads SoftInfo silently and logs both versions; Unreadable when it fails.
DeviceMode CheckMode(DeviceCommands& commands, AppLog& log);
