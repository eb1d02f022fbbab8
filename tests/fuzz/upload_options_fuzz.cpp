// The options file's UPLOAD group: any text, followed by a group of values
// written in double quotes with escapes. Each such value reads back exactly,
// whatever came before it, and an upload account taken from the file without
// a problem holds only values that can be sent as they are.

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <string>

#include "fuzz_support.h"
#include "upload/ini_options.h"

namespace {

constexpr std::array<const char*, 6> kNames = {"Host",     "Port",           "User",
                                               "Password", "TimeoutSeconds", "CaFile"};

std::string Quoted(const std::string& value) {
    std::string text = "\"";
    for (const char c : value) {
        if (c == '"' || c == '\\') {
            text += '\\';
        }
        text += c;
    }
    return text + "\"";
}

const std::string& FilePath() {
    static const std::string path = [] {
        const char* folder = std::getenv("TMPDIR");
        return std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") +
               "/dravo_options_fuzz_" + std::to_string(getpid()) + ".conf";
    }();
    return path;
}

bool Sendable(char c, bool spaceAllowed) {
    const auto code = static_cast<unsigned char>(c);
    return code >= 0x20 && code != 0x7F && (spaceAllowed || (c != ' ' && c != '/'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    std::string text = input.ConsumeRandomLengthString(2000);
    text += "\n[UPLOAD]\n";
    std::array<std::optional<std::string>, kNames.size()> written;
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (input.ConsumeBool()) {
            std::string value = input.ConsumeRandomLengthString(80);
            value.erase(std::remove(value.begin(), value.end(), '\n'), value.end());
            text += std::string(kNames[i]) + "=" + Quoted(value) + "\n";
            written[i] = value;
        }
    }
    std::ofstream(FilePath(), std::ios::binary | std::ios::trunc) << text;

    IniGroupOptions options(FilePath(), kUploadGroup);
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (written[i]) {
            FUZZ_CHECK(options.ReadString(kNames[i]) == written[i]);
        }
    }
    const UploadConfig config = ReadUploadConfig(options);
    if (!config.Configured() || !config.problem.empty()) {
        return 0;
    }
    FUZZ_CHECK(config.port >= 1 && config.port <= 65535);
    FUZZ_CHECK(config.timeoutSeconds >= 1 &&
               config.timeoutSeconds <= UploadConfig::kLongestTimeoutSeconds);
    for (const char c : config.host) {
        FUZZ_CHECK(Sendable(c, false) && c != '\\');
    }
    FUZZ_CHECK(!config.user.empty());
    for (const char c : config.user) {
        FUZZ_CHECK(Sendable(c, false) && c != '\\');
    }
    for (const char c : config.password) {
        FUZZ_CHECK(Sendable(c, true));
    }
    return 0;
}
