#include "app/temp_folder.h"

StagingFolder PrepareStagingFolder() {
    const std::string usual = TempFolderPath();
    if (PrepareTempFolder(usual)) {
        return {usual, false};
    }
    const std::string own = PrivateTempFolderPath();
    if (!own.empty() && PrepareTempFolder(own)) {
        return {own, true};
    }
    return {};
}
