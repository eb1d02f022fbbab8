#include "app/temp_folder.h"

#include <windows.h>

#include <filesystem>
#include <system_error>

#include "base/utf8_path.h"
#include "base/wide_text.h"

std::string TempDirectory() {
    wchar_t folder[MAX_PATH + 2];
    const DWORD length = GetTempPathW(MAX_PATH + 2, folder);
    std::wstring text(folder, length > 0 && length <= MAX_PATH + 1 ? length : 0);
    while (text.size() > 3 && (text.back() == L'\\' || text.back() == L'/')) {
        text.pop_back();
    }
    return Utf8FromWide(text);
}

std::string TempFolderPath() {
    return TempDirectory() + "\\tlx4_dravo_explorer";
}

std::string PrivateTempFolderPath() {
    return {};
}

bool PrepareTempFolder(const std::string& folder) {
    namespace fs = std::filesystem;
    const fs::path path = PathFromUtf8(folder);
    std::error_code error;
    fs::create_directory(path, error);
    // %TEMP% is the user's own; a junction or link in it is still not followed.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return false;
    }
    for (fs::directory_iterator entry(path, error), end; !error && entry != end;
         entry.increment(error)) {
        std::error_code ignored;
        if (entry->symlink_status(ignored).type() == fs::file_type::regular) {
            fs::remove(entry->path(), ignored);
        }
    }
    return true;
}
