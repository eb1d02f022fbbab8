#include "base/options_path.h"

#include <windows.h>

#include <algorithm>

#include "base/wide_text.h"

namespace {

// `relative` under the folder the environment variable names, with the
// separators Windows shows; the variable is read in UTF-16 so that a user
// name outside the code page survives.
std::string KnownFolderFilePath(const wchar_t* variable, std::string relative) {
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = GetEnvironmentVariableW(variable, folder, MAX_PATH + 1);
    std::replace(relative.begin(), relative.end(), '/', '\\');
    if (length == 0 || length > MAX_PATH) {
        return relative;
    }
    return Utf8FromWide(std::wstring_view(folder, length)) + "\\" + relative;
}

}  // namespace

std::string OptionsFilePath() {
    return KnownFolderFilePath(L"APPDATA", "DRAVO/TLX4.ini");
}

std::string LocalDataFilePath(const std::string& relative) {
    return KnownFolderFilePath(L"LOCALAPPDATA", relative);
}
