#include "upload/log_report.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "base/language.h"
#include "base/utf8_path.h"
#include "upload/remote_path.h"
#include "upload/system_ftp_client.h"

namespace {

bool ReadWhole(const std::string& fileName, std::string& content) {
    std::ifstream file(PathFromUtf8(fileName), std::ios::binary);
    if (!file) {
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    content = text.str();
    return !file.bad();
}

void AppendLines(const std::string& fileName, const std::vector<std::string>& lines,
                 std::size_t first) {
    if (first >= lines.size() || !std::filesystem::exists(PathFromUtf8(fileName))) {
        return;
    }
    std::ofstream file(PathFromUtf8(fileName), std::ios::binary | std::ios::app);
    for (std::size_t i = first; i < lines.size(); ++i) {
        file << lines[i] << '\n';
    }
}

void Pause(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace

UploadOutcome UploadLogFile(const UploadConfig& config, const std::string& fileName,
                            const std::string& serialDigits, const UploadFeedback& feedback,
                            AppLog& log) {
    if (!config.Configured()) {
        return UploadOutcome::NotConfigured;
    }
    if (!config.problem.empty()) {
        log.LogErrorCode(config.problem, 0);
        return UploadOutcome::Refused;
    }
    std::string content;
    if (fileName.empty() || !ReadWhole(fileName, content)) {
        log.LogErrorCode(
            PickText("Ошибка FTP: не прочитан файл ", "FTP error: cannot read the file ") +
                fileName,
            0);
        return UploadOutcome::Refused;
    }
    const std::unique_ptr<FtpClient> client =
        SystemFtpClient({config.host, config.port, config.user, config.password, config.caFile});
    const ReportUploadContext context{
        *client,     log,   feedback,
        SystemTicks, Pause, static_cast<std::uint32_t>(config.timeoutSeconds) * 1000u};
    const std::string remotePath = ReportRemotePath(serialDigits, kReportFolder, kReportFileName);
    return UploadReport(context, content, remotePath, kReportAttempts) ? UploadOutcome::Sent
                                                                       : UploadOutcome::Failed;
}

UploadOutcome UploadLogReport(const UploadConfig& config, const std::string& logFile,
                              const std::string& serialDigits, const UploadFeedback& feedback,
                              AppLog& log) {
    const std::size_t before = log.LineCount();
    const UploadOutcome outcome = UploadLogFile(config, logFile, serialDigits, feedback, log);
    AppendLines(logFile, log.Lines(), before);
    return outcome;
}
