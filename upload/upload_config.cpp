#include "upload/upload_config.h"

#ifdef _WIN32
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#endif

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

// Letters, digits and what host names and address literals use; the brackets
// around an IPv6 address are taken off before.
bool HostCharacter(char character) {
    return std::isalnum(static_cast<unsigned char>(character)) != 0 ||
           std::string_view(".-_:").find(character) != std::string_view::npos;
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

std::optional<int> ParsePort(const std::string& text) {
    const auto number = ParseInt(text);
    if (!number || *number < 1 || *number > 65535) {
        return std::nullopt;
    }
    return number;
}

bool Ipv6Address(const std::string& text) {
    in6_addr address{};
    return ::inet_pton(AF_INET6, text.c_str(), &address) == 1;
}

// Host as written: "name", "name:port", an IPv6 address alone, "[address]" or
// "[address]:port".
struct HostValue {
    std::string name;
    std::optional<std::string> port;
    bool valid = true;
};

HostValue SplitHost(const std::string& text) {
    if (text.rfind('[', 0) == 0) {
        const std::size_t close = text.find(']');
        if (close == std::string::npos || !Ipv6Address(text.substr(1, close - 1))) {
            return {text, std::nullopt, false};
        }
        HostValue value{text.substr(1, close - 1), std::nullopt, true};
        const std::string rest = text.substr(close + 1);
        if (!rest.empty()) {
            value.port = rest.substr(1);
            value.valid = rest[0] == ':';
        }
        return value;
    }
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) {
        return {text, std::nullopt, true};
    }
    if (text.find(':', colon + 1) != std::string::npos) {
        return {text, std::nullopt, Ipv6Address(text)};
    }
    if (colon == 0) {
        return {text, std::nullopt, false};
    }
    return {text.substr(0, colon), text.substr(colon + 1), true};
}

std::string HostProblem(const HostValue& host, const std::optional<std::string>& port) {
    if (!host.valid || !std::all_of(host.name.begin(), host.name.end(), HostCharacter)) {
        return PickText("Ошибка FTP: недопустимое имя сервера в настройках (UPLOAD/Host)",
                        "FTP error: invalid server name in the options (UPLOAD/Host)");
    }
    if (host.port && !ParsePort(*host.port)) {
        return PickText("Ошибка FTP: недопустимый порт в настройках (UPLOAD/Host)",
                        "FTP error: invalid port in the options (UPLOAD/Host)");
    }
    if (port && !ParsePort(*port)) {
        return PickText("Ошибка FTP: недопустимый порт в настройках (UPLOAD/Port)",
                        "FTP error: invalid port in the options (UPLOAD/Port)");
    }
    if (host.port && port && ParsePort(*host.port) != ParsePort(*port)) {
        return PickText("Ошибка FTP: порт в UPLOAD/Host не совпадает с UPLOAD/Port",
                        "FTP error: the port in UPLOAD/Host differs from UPLOAD/Port");
    }
    return {};
}

std::string AccountProblem(const UploadConfig& config) {
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
    const HostValue host = SplitHost(source.ReadString("Host").value_or(""));
    const auto port = source.ReadString("Port");
    config.host = host.name;
    config.port =
        ParsePort(host.port.value_or(port.value_or(std::to_string(UploadConfig::kDefaultPort))))
            .value_or(0);
    config.user = source.ReadString("User").value_or("");
    config.password = source.ReadString("Password").value_or(UploadConfig::kDefaultPassword);
    config.caFile = source.ReadString("CaFile").value_or("");
    if (const auto timeout = source.ReadString("TimeoutSeconds")) {
        config.timeoutSeconds =
            std::clamp(ParseInt(*timeout).value_or(UploadConfig::kDefaultTimeoutSeconds), 1,
                       UploadConfig::kLongestTimeoutSeconds);
    }
    if (config.Configured()) {
        config.problem = HostProblem(host, port);
        if (config.problem.empty()) {
            config.problem = AccountProblem(config);
        }
    }
    return config;
}
