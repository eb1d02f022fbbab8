#pragma once

#include <ctime>
#include <string>

#include "base/app_log.h"
#include "base/dialogs.h"
#include "base/operation_host.h"
#include "protocol/commands.h"

// Settings files kept before an operation that may reset the device's
// settings (a firmware update), in DRAVO/settings of the user's folder for
// data kept on this machine (see LocalDataFilePath).
std::string SettingsBackupFolder();

// "settings-<tag>-12345678-20261209-033000.json": the model's tag, the serial
// number's digits and the local time.
std::string SettingsBackupName(const std::string& modelTag, const std::string& serialDigits,
                               const std::tm& local);

// Reads every setting of the connected, identified device as the settings
// page reads it and saves a settings file (the backup's format) in `folder`,
// which is made when missing. The file's path; empty when the board has no
// settings or reading or saving failed (logged, with the page's boxes).
std::string BackUpDeviceSettings(DeviceCommands& commands, OperationHost& host, Dialogs& dialogs,
                                 AppLog& log, const std::string& folder);
