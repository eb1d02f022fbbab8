#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/app_log.h"
#include "base/tick_clock.h"
#include "upload/ftp_client.h"

// What the report upload shows while it runs; either may be empty.
struct UploadFeedback {
    // The text of the status panel, its colours left as they are.
    std::function<void(const std::string&)> statusText;
    // The progress bar position, 0 to 100.
    std::function<void(int)> progress;
};

struct ReportUploadContext {
    FtpClient& client;
    AppLog& log;
    UploadFeedback feedback;
    TickClock clock;
    // Blocks for the given milliseconds.
    std::function<void(std::uint32_t)> wait;
    // The bound of the whole upload, every session and wait included.
    std::uint32_t timeLimitMs = 0;
};

inline constexpr int kReportAttempts = 3;
inline constexpr std::uint32_t kAttemptPauseMs = 500;

// Appends `content` to the file at `remotePath` (backslash-separated, see
// remote_path.h): first makes the directories in one session, then tries the
// append up to `attempts` times, pausing after each failed one. Failures are
// logged; true only when an append succeeded.
bool UploadReport(const ReportUploadContext& context, const std::string& content,
                  const std::string& remotePath, int attempts);
