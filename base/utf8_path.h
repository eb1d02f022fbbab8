#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// A path from the program's UTF-8 text: on Windows a plain std::string would
// be taken in the system's code page, and names outside it would be lost.
inline std::filesystem::path PathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}
