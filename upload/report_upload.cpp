#include "upload/report_upload.h"

#include <algorithm>

#include "base/language.h"
#include "upload/remote_path.h"

namespace {

constexpr const char* kNoConnection = "Ошибка: Нет соединения с сервером обновлений";
constexpr const char* kDirectoryNotMade = "Ошибка FTP: не создан каталог";
constexpr const char* kDirectoryNotEntered = "Ошибка FTP: смена каталога не удалась";

// Milliseconds left of the whole upload's time.
class Deadline {
  public:
    Deadline(const TickClock& clock, std::uint32_t limitMs)
        : clock_(clock), start_(clock()), limitMs_(limitMs) {}

    std::uint32_t Remaining() const {
        const std::uint32_t elapsed = TicksSince(start_, clock_());
        return elapsed >= limitMs_ ? 0 : limitMs_ - elapsed;
    }

  private:
    const TickClock& clock_;
    std::uint32_t start_;
    std::uint32_t limitMs_;
};

void ShowStatus(const UploadFeedback& feedback, const std::string& text) {
    if (feedback.statusText) {
        feedback.statusText(text);
    }
}

std::string AttemptText(int attempt) {
    std::string text = PickText("Добавление на сервер", "Adding to the server");
    if (attempt >= 2) {
        text += PickText(" Попытка ", " Attempt ") + std::to_string(attempt);
    }
    return text;
}

FtpBytesSent ProgressOf(const UploadFeedback& feedback, std::size_t size) {
    if (!feedback.progress || size == 0) {
        return nullptr;
    }
    return [&feedback, size](std::uint64_t sent) {
        feedback.progress(static_cast<int>(std::min<std::uint64_t>(sent, size) * 100 / size));
    };
}

void LogDetail(AppLog& log, const FtpResult& result) {
    if (!result.detail.empty()) {
        log.AddLine("FTP: " + result.detail);
    }
}

void LogAppendFailure(AppLog& log, const FtpResult& result, const std::string& remotePath) {
    if (result.failure == FtpFailure::Connection) {
        log.LogErrorCode(kNoConnection, 0);
    } else {
        if (result.failure == FtpFailure::Directory) {
            log.LogErrorCode(kDirectoryNotEntered, 0);
        }
        log.LogErrorCode("Ошибка добавления файла на сервера обновлений [" + remotePath + "]", -1);
    }
    LogDetail(log, result);
}

// True, with a log line, when the upload's time is used up.
bool OutOfTime(const ReportUploadContext& context, const Deadline& deadline) {
    if (deadline.Remaining() > 0) {
        return false;
    }
    context.log.LogErrorCode(
        PickText("Ошибка FTP: время выгрузки истекло", "FTP error: the upload ran out of time"), 0);
    return true;
}

bool MakeDirectories(const ReportUploadContext& context, const std::vector<std::string>& names,
                     std::uint32_t timeLimitMs) {
    const FtpResult result = context.client.MakeDirectories(names, timeLimitMs);
    if (result.Ok()) {
        return true;
    }
    // Without this line the saved log would not say why no report was sent.
    context.log.LogErrorCode(
        result.failure == FtpFailure::Connection ? kNoConnection : kDirectoryNotMade, 0);
    LogDetail(context.log, result);
    return false;
}

}  // namespace

bool UploadReport(const ReportUploadContext& context, const std::string& content,
                  const std::string& remotePath, int attempts) {
    const std::string fileName = RemoteFileName(remotePath);
    if (fileName.empty()) {
        return false;
    }
    const Deadline deadline(context.clock, context.timeLimitMs);
    const std::vector<std::string> directories = RemoteDirectories(remotePath);
    if (OutOfTime(context, deadline) ||
        !MakeDirectories(context, directories, deadline.Remaining())) {
        return false;
    }
    const FtpBytesSent sent = ProgressOf(context.feedback, content.size());
    for (int attempt = 1; attempt <= std::max(attempts, 1); ++attempt) {
        if (OutOfTime(context, deadline)) {
            return false;
        }
        ShowStatus(context.feedback, AttemptText(attempt));
        const FtpResult result =
            context.client.AppendFile(directories, fileName, content, deadline.Remaining(), sent);
        ShowStatus(context.feedback, "");
        if (result.Ok()) {
            return true;
        }
        LogAppendFailure(context.log, result, remotePath);
        context.wait(std::min(kAttemptPauseMs, deadline.Remaining()));
    }
    return false;
}
