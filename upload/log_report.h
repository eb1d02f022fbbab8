#pragma once

#include <string>

#include "base/app_log.h"
#include "upload/report_upload.h"
#include "upload/upload_config.h"

enum class UploadOutcome {
    NotConfigured,  // no host: nothing attempted, nothing logged
    Refused,        // the options or the file cannot be used: logged, nothing sent
    Failed,         // logged
    Sent,
};

// The report folder and file name on the update server.
inline constexpr const char* kReportFolder = "log5";
inline constexpr const char* kReportFileName = "rep.txt";

// Appends the file `fileName` to the report of the device with `serialDigits`
// (see remote_path.h; empty for no device) on the configured server: three
// attempts, all within the configured time-out. What went wrong goes to `log`.
UploadOutcome UploadLogFile(const UploadConfig& config, const std::string& fileName,
                            const std::string& serialDigits, const UploadFeedback& feedback,
                            AppLog& log);

// The upload at exit, after the log was saved to `logFile`: as UploadLogFile,
// then the lines the upload added to `log` are added to the end of `logFile`
// too, so that the saved log says why a report was not sent. Those lines are
// not sent to the server.
UploadOutcome UploadLogReport(const UploadConfig& config, const std::string& logFile,
                              const std::string& serialDigits, const UploadFeedback& feedback,
                              AppLog& log);
