#pragma once

#include <string>

#include "app/instance_lock.h"
#include "base/app_log.h"
#include "base/dialogs.h"
#include "protocol/device_info.h"
#include "upload/report_upload.h"

enum class StartupResult { Running, AlreadyRunning, TempFolderFailed };

struct ProgramStart {
    StartupResult result = StartupResult::Running;
    std::string tempFolder;  // the staging folder, once running
};

// The window's start-up: the instance lock, the staging folder and the log's
// opening banner. A refusal is told in a box and leaves the log alone.
ProgramStart StartProgram(InstanceLock& lock, Dialogs& dialogs, AppLog& log);

// The window's shutdown after a start that ran: the closing banner, the log
// saved in the staging folder, and its upload as the options file's UPLOAD
// group sets it, named after `device`.
void EndProgram(AppLog& log, const std::string& tempFolder, const DeviceInfo& device,
                const UploadFeedback& feedback);
