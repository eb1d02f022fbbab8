#include "app/program_lifetime.h"

#include <cstdio>

#include "app/banner.h"
#include "app/log_file.h"
#include "app/temp_folder.h"
#include "base/language.h"
#include "base/options_path.h"
#include "upload/ini_options.h"
#include "upload/log_report.h"
#include "upload/remote_path.h"

ProgramStart StartProgram(InstanceLock& lock, Dialogs& dialogs, AppLog& log) {
    if (!lock.Acquire()) {
        dialogs.Warning(PickText("Приложение уже запущено!", "Application alredy running!"));
        return {StartupResult::AlreadyRunning, {}};
    }
    const StagingFolder staging = PrepareStagingFolder();
    if (staging.path.empty()) {
        dialogs.Error(
            PickText("Ошибка создания временного каталога", "Error of creation temporary folder"));
        return {StartupResult::TempFolderFailed, {}};
    }
    for (const auto& line : StartBanner(LocalDateTimeText())) {
        log.AddLine(line);
    }
    if (staging.privateFolder) {
        log.AddLine(PickText("Временный каталог " + TempFolderPath() +
                                 " не используется: это ссылка, чужой каталог или в него могут "
                                 "писать другие; используется " +
                                 staging.path,
                             "The temporary folder " + TempFolderPath() +
                                 " is not used: it is a link, another user's folder or others "
                                 "may write to it; using " +
                                 staging.path));
    }
    if (lock.Unavailable()) {
        log.AddLine(
            PickText("Блокировка второго запуска недоступна: нет места для файла блокировки",
                     "Single-instance lock unavailable: no folder for the lock file"));
    }
    return {StartupResult::Running, staging.path};
}

void EndProgram(AppLog& log, const std::string& tempFolder, const DeviceInfo& device,
                const UploadFeedback& feedback) {
    for (const auto& line : EndBanner(LocalDateTimeText())) {
        log.AddLine(line);
    }
    const std::string logFile = DefaultLogFileName(tempFolder);
    if (!SaveLogFile(log, logFile, tempFolder)) {
        std::fprintf(stderr, "dravo-explorer: cannot write %s\n", logFile.c_str());
    }
    IniGroupOptions uploadOptions(OptionsFilePath(), kUploadGroup);
    UploadLogReport(ReadUploadConfig(uploadOptions), logFile, ReportSerialDigits(device), feedback,
                    log);
}
