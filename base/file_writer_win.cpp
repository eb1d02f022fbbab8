#include "base/file_writer.h"

#include <windows.h>

#include <atomic>
#include <cstdio>

#include "base/wide_text.h"

namespace {

bool WriteAll(HANDLE file, std::string_view content) {
    const char* data = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const DWORD piece = left > 0x10000000 ? 0x10000000 : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteFile(file, data, piece, &written, nullptr) || written == 0) {
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

// A new file beside `path` under a short name of its own (see the Linux
// side); INVALID_HANDLE_VALUE when none could be made.
HANDLE CreateStaging(const std::string& path, std::wstring& staging) {
    static std::atomic<unsigned> counter{0};
    const std::size_t slash = path.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, ".dravo-%lx-%x", GetCurrentProcessId(), counter++);
        staging = WideFromUtf8(folder + name);
        const HANDLE file = CreateFileW(staging.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
            return file;
        }
    }
    return INVALID_HANDLE_VALUE;
}

}  // namespace

ReplaceFailure ReplaceFileContent(const std::string& path, std::string_view content) {
    if (path.empty()) {
        return ReplaceFailure::Create;
    }
    std::wstring staging;
    const HANDLE file = CreateStaging(path, staging);
    if (file == INVALID_HANDLE_VALUE) {
        return ReplaceFailure::Create;
    }
    const bool written = WriteAll(file, content) && FlushFileBuffers(file);
    const bool closed = CloseHandle(file);
    if (!written || !closed) {
        DeleteFileW(staging.c_str());
        return ReplaceFailure::Write;
    }
    if (!MoveFileExW(staging.c_str(), WideFromUtf8(path).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(staging.c_str());
        return ReplaceFailure::Replace;
    }
    return ReplaceFailure::None;
}
