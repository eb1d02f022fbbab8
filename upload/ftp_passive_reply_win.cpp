#include "upload/ftp_passive_reply.h"

#include <array>
#include <cctype>
#include <charconv>

namespace {

constexpr std::string_view kPassiveCode = "227";

bool Digit(char character) {
    return std::isdigit(static_cast<unsigned char>(character)) != 0;
}

}  // namespace

std::optional<int> PassivePort(std::string_view reply) {
    if (reply.substr(0, kPassiveCode.size()) != kPassiveCode) {
        return std::nullopt;
    }
    // The numbers need not be in brackets: they start at the first digit after the code.
    std::size_t at = kPassiveCode.size();
    while (at < reply.size() && !Digit(reply[at])) {
        ++at;
    }
    std::array<int, 6> numbers{};
    const char* next = reply.data() + at;
    const char* end = reply.data() + reply.size();
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (i > 0) {
            if (next == end || *next != ',') {
                return std::nullopt;
            }
            ++next;
        }
        const auto [stop, error] = std::from_chars(next, end, numbers[i]);
        if (error != std::errc() || numbers[i] < 0 || numbers[i] > 255) {
            return std::nullopt;
        }
        next = stop;
    }
    const int port = numbers[4] * 256 + numbers[5];
    return port > 0 ? std::optional<int>(port) : std::nullopt;
}
