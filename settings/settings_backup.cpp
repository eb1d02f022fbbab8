#include "settings/settings_backup.h"

#include <filesystem>

#include "base/language.h"
#include "base/options_path.h"
#include "base/utf8_path.h"
#include "protocol/device_info.h"
#include "protocol/device_models.h"
#include "settings/setting_codes.h"
#include "settings/settings_actions.h"

std::string SettingsBackupFolder() {
    return LocalDataFilePath("DRAVO/settings");
}

std::string SettingsBackupName(const std::string& modelTag, const std::string& serialDigits,
                               const std::tm& local) {
    char time[32];
    std::strftime(time, sizeof time, "%Y%m%d-%H%M%S", &local);
    return "settings-" + modelTag + "-" + serialDigits + "-" + time + ".json";
}

std::string BackUpDeviceSettings(DeviceCommands& commands, OperationHost& host, Dialogs& dialogs,
                                 AppLog& log, const std::string& folder) {
    const auto& board = commands.CachedBoardInfo();
    const SupportedModel* model = board ? FindSupportedModel(board->boardCode) : nullptr;
    if (model == nullptr) {
        log.LogError(PickText("У этого прибора нет настроек", "This device has no settings"));
        return {};
    }
    std::error_code error;
    std::filesystem::create_directories(PathFromUtf8(folder), error);
    if (error) {
        log.LogError(PickText("Не удалось создать папку ", "Cannot create the folder ") + folder +
                     ": " + error.message());
        return {};
    }
    // Identification has passed; the settings gate would refuse the outdated
    // firmware the backup exists for, and nothing here restarts the device.
    SettingsActions actions(*model, SettingsEnvironment{commands, host, dialogs, log,
                                                        [](const std::string&) { return true; },
                                                        [] { return false; }, PcLocalTime});
    if (!actions.Read().Completed()) {
        return {};
    }
    const auto& inf1 = commands.CachedInf1Block();
    const std::string path =
        folder + "/" +
        SettingsBackupName(actions.Model().tag, inf1 ? SerialDigits(*inf1) : std::string("unknown"),
                           PcLocalTime());
    return actions.SaveToFile(path) ? path : std::string();
}
