#include "protocol/number_texts.h"

namespace {

constexpr std::uint8_t kNoYear = 255;

std::string FieldText(unsigned value, bool valid, const char* separator) {
    return (valid ? TwoDigitText(value) : std::string("--")) + separator;
}

}  // namespace

std::string TwoDigitText(unsigned n) {
    std::string text = std::to_string(n);
    if (text.size() < 2) {
        text.insert(0, 2 - text.size(), '0');
    }
    return text;
}

std::string HundredthsText(std::uint32_t v) {
    return std::to_string(v / 100) + "," + TwoDigitText(v % 100);
}

std::string DateText(const DeviceDateTime& time) {
    const std::string year = time.year == kNoYear ? "----" : "20" + TwoDigitText(time.year);
    return FieldText(time.day, time.day >= 1 && time.day <= 31, ".") +
           FieldText(time.month, time.month >= 1 && time.month <= 12, ".") + year;
}

std::string TimeText(const DeviceDateTime& time) {
    return FieldText(time.hour, time.hour < 24, ":") +
           FieldText(time.minute, time.minute < 60, ":") +
           FieldText(time.second, time.second < 60, "");
}

std::string DateTimeText(const DeviceDateTime& time) {
    return "[" + DateText(time) + "]-[" + TimeText(time) + "]";
}
