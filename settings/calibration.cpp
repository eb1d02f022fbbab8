#include "settings/calibration.h"

#include <algorithm>
#include <limits>

#include "base/language.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A decimal whole number with an optional sign, as a signed 32-bit value.
std::optional<std::int64_t> WholeNumber(const std::string& text) {
    std::size_t at = 0;
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        at = 1;
    }
    if (at == text.size()) {
        return std::nullopt;
    }
    std::int64_t magnitude = 0;
    for (; at < text.size(); ++at) {
        if (!IsDigit(text[at])) {
            return std::nullopt;
        }
        magnitude = magnitude * 10 + (text[at] - '0');
        if (magnitude > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) {
            return std::nullopt;
        }
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return value;
}

// Hundredths of one or two digits after the separator; none for anything else.
std::optional<std::uint64_t> Hundredths(const std::string& fraction) {
    if (fraction.empty()) {
        return 0;
    }
    if (fraction.size() > 2 || !std::all_of(fraction.begin(), fraction.end(), IsDigit)) {
        return std::nullopt;
    }
    const std::uint64_t digits = std::stoul(fraction);
    return fraction.size() == 1 ? digits * 10 : digits;
}

}  // namespace

bool CalibrationKeyAllowed(char32_t typed) {
    return typed < 32 || typed == ',' || typed == '.' || (typed >= '0' && typed <= '9');
}

std::optional<std::uint64_t> ParseCalibration(const std::string& text) {
    std::size_t separator = text.find(',');
    if (separator == std::string::npos) {
        separator = text.find('.');
    }
    const auto whole = WholeNumber(text.substr(0, separator));
    if (!whole || *whole < 0) {
        return std::nullopt;
    }
    const std::uint64_t value = static_cast<std::uint64_t>(*whole) * 100;
    if (separator == std::string::npos) {
        return value;
    }
    const auto hundredths = Hundredths(text.substr(separator + 1));
    if (!hundredths) {
        return std::nullopt;
    }
    return value + *hundredths;
}

bool CalibrationInRange(std::uint64_t value) {
    return value >= kCalibrationMin && value <= kCalibrationMax;
}

std::string CalibrationText(std::uint32_t value) {
    const std::uint32_t hundredths = value % 100;
    return std::to_string(value / 100) + (hundredths < 10 ? ",0" : ",") +
           std::to_string(hundredths);
}

std::string CalibrationDisplayText(std::uint32_t deviceValue) {
    return CalibrationText(std::clamp(deviceValue, kCalibrationMin, kCalibrationMax));
}

CalibrationCheck CheckCalibration(const std::string& text, std::uint32_t& value) {
    const auto parsed = ParseCalibration(text);
    if (!parsed) {
        return CalibrationCheck::FormatError;
    }
    if (!CalibrationInRange(*parsed)) {
        return CalibrationCheck::RangeError;
    }
    value = static_cast<std::uint32_t>(*parsed);
    return CalibrationCheck::Valid;
}

std::string CalibrationErrorMessage(CalibrationCheck check, const std::string& text) {
    if (check == CalibrationCheck::FormatError) {
        return PickText("Ошибка формата коэффициента [", "K Format Error [") + text + "]";
    }
    return PickText("Ошибка: K должен быть от 0,1 до 9,99 [",
                    "Error: K is to be from 0,1 to 9,99 [") +
           text + "]";
}

std::string CalibrationSettingName() {
    return PickText("Калибровочный коэффициент", "Calibration Coefficient");
}
