#include "cli/cli_output_file.h"

#include <filesystem>

#include "base/language.h"

bool OutputFolderExists(const std::string& file, CliReport& report) {
    const std::filesystem::path folder = std::filesystem::path(file).parent_path();
    std::error_code error;
    if (folder.empty() || std::filesystem::is_directory(folder, error)) {
        return true;
    }
    report.Fail(PickText("Нет папки ", "No such folder: ") + folder.string() +
                PickText(" (для файла ", " (for the file ") + file + ")");
    return false;
}
