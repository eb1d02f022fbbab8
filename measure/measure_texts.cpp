#include "measure/measure_texts.h"

#include <cstring>

#include "protocol/number_texts.h"
#include "protocol/units.h"

std::string RateUnitText(std::uint8_t units) {
    return RateUnitName(units < 2 ? units : 2, 0);
}

std::string RateNumberText(std::uint8_t units, std::uint32_t value) {
    switch (units) {
        case 0:
            return HundredthsText(value);
        case 1:
            return std::to_string(value);
        case 2:
            return std::to_string(value >> 1);
        default:
            return {};
    }
}

namespace {

bool IsValidUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 1;
        if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
        } else if (lead >= 0xE0) {
            length = lead <= 0xEF ? 3 : 0;
        } else if (lead >= 0xC2) {
            length = 2;
        } else if (lead >= 0x80) {
            length = 0;
        }
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

void AppendCodePoint(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Windows-1251: the Cyrillic letters; any other upper byte becomes "?".
std::string FromWindows1251(const std::string& bytes) {
    std::string out;
    for (const char ch : bytes) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte < 0x80) {
            AppendCodePoint(out, byte);
        } else if (byte >= 0xC0) {
            AppendCodePoint(out, 0x0410 + (byte - 0xC0));
        } else if (byte == 0xA8) {
            AppendCodePoint(out, 0x0401);
        } else if (byte == 0xB8) {
            AppendCodePoint(out, 0x0451);
        } else {
            out += '?';
        }
    }
    return out;
}

}  // namespace

std::string DeviceText(const std::uint8_t* bytes, std::size_t capacity) {
    const void* zero = std::memchr(bytes, 0, capacity);
    const std::size_t length =
        zero ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - bytes) : capacity;
    std::string text(reinterpret_cast<const char*>(bytes), length);
    return IsValidUtf8(text) ? text : FromWindows1251(text);
}
