#include "upload/upload_config.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string_view>

#include "base/language.h"

namespace {

bool ControlCharacter(char character) {
    const auto code = static_cast<unsigned char>(character);
    return code < 0x20 || code == 0x7F;
}

// Letters, digits and what host names and address literals use.
bool HostCharacter(char character) {
    return std::isalnum(static_cast<unsigned char>(character)) != 0 ||
           std::string_view(".-_:[]").find(character) != std::string_view::npos;
}

bool UserCharacter(char character) {
    return !ControlCharacter(character) && character != ' ' && character != '/' &&
           character != '\\';
}

std::optional<int> ParseInt(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

std::string Problem(const UploadConfig& config, bool portValid) {
    if (!std::all_of(config.host.begin(), config.host.end(), HostCharacter)) {
        return PickText("Ошибка FTP: недопустимое имя сервера в настройках (UPLOAD/Host)",
                        "FTP error: invalid server name in the options (UPLOAD/Host)");
    }
    if (!portValid) {
        return PickText("Ошибка FTP: недопустимый порт в настройках (UPLOAD/Port)",
                        "FTP error: invalid port in the options (UPLOAD/Port)");
    }
    if (config.user.empty() ||
        !std::all_of(config.user.begin(), config.user.end(), UserCharacter)) {
        return PickText("Ошибка FTP: недопустимое имя пользователя в настройках (UPLOAD/User)",
                        "FTP error: invalid user name in the options (UPLOAD/User)");
    }
    if (std::any_of(config.password.begin(), config.password.end(), ControlCharacter)) {
        return PickText("Ошибка FTP: недопустимые символы в пароле (UPLOAD/Password)",
                        "FTP error: invalid characters in the password (UPLOAD/Password)");
    }
    return {};
}

}  // namespace

UploadConfig ReadUploadConfig(UploadOptionsSource& source) {
    UploadConfig config;
    config.host = source.ReadString("Host").value_or("");
    config.user = source.ReadString("User").value_or("");
    config.password = source.ReadString("Password").value_or(UploadConfig::kDefaultPassword);
    config.caFile = source.ReadString("CaFile").value_or("");
    bool portValid = true;
    if (const auto port = source.ReadString("Port")) {
        const auto number = ParseInt(*port);
        portValid = number && *number >= 1 && *number <= 65535;
        config.port = number.value_or(0);
    }
    if (const auto timeout = source.ReadString("TimeoutSeconds")) {
        config.timeoutSeconds =
            std::clamp(ParseInt(*timeout).value_or(UploadConfig::kDefaultTimeoutSeconds), 1,
                       UploadConfig::kLongestTimeoutSeconds);
    }
    if (config.Configured()) {
        config.problem = Problem(config, portValid);
    }
    return config;
}
