#include "sim/live_values.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Beyond this the dose is carried forward by the mean of sampled seconds, so a
// clock set far ahead costs no time.
constexpr std::uint32_t kExactSeconds = 3600;

std::string WithComma(double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string result = text;
    std::replace(result.begin(), result.end(), '.', ',');
    return result;
}

}  // namespace

void LiveValues::AdvanceTo(std::uint32_t now) {
    if (!started_ || now < second_) {
        started_ = true;
        second_ = now;
        rate_ = background_.MicroRoentgenPerHour(now);
        return;
    }
    const std::uint32_t elapsed = now - second_;
    if (elapsed > kExactSeconds) {
        const double mean =
            (background_.MicroRoentgenPerHour(second_) + background_.MicroRoentgenPerHour(now)) / 2;
        doseMicroSievert_ += mean / 100.0 / 3600.0 * (elapsed - kExactSeconds);
        second_ = now - kExactSeconds;
    }
    while (second_ < now) {
        ++second_;
        // 100 uR/h make 1 uSv/h.
        doseMicroSievert_ += background_.MicroRoentgenPerHour(second_) / 100.0 / 3600.0;
    }
    rate_ = background_.MicroRoentgenPerHour(now);
}

std::uint32_t LiveValues::RateWord(std::uint32_t units) const {
    if (units >= 2) {
        return CountWord();
    }
    // uR/h and hundredths of uSv/h are the same number.
    return static_cast<std::uint32_t>(std::lround(rate_));
}

std::uint32_t LiveValues::CountWord() const {
    // 200 CPM per uSv/h, and the word holds twice the CPM.
    return static_cast<std::uint32_t>(std::lround(rate_ * 4));
}

std::uint8_t LiveValues::Level() const {
    return static_cast<std::uint8_t>(std::min(120L, std::lround(rate_ * 2)));
}

void LiveValues::ResetDose() {
    doseMicroSievert_ = 0;
}

void LiveValues::RefreshDoseTexts(std::uint32_t units) {
    const double dose = doseMicroSievert_;
    switch (units) {
        case 0:
            if (dose >= 1000) {
                doseText_ = WithComma(dose / 1000, 3);
                doseUnitText_ = "mSv";
            } else {
                doseText_ = WithComma(dose, 2);
                doseUnitText_ = "uSv";
            }
            break;
        case 1:
            if (dose * 100 >= 1000) {
                doseText_ = WithComma(dose * 100 / 1000, 3);
                doseUnitText_ = "mR";
            } else {
                doseText_ = WithComma(dose * 100, 2);
                doseUnitText_ = "uR";
            }
            break;
        default:
            // 200 CPM per uSv/h: 12000 pulses per uSv.
            doseText_ = std::to_string(static_cast<std::uint64_t>(dose * 12000));
            doseUnitText_ = "PULSES";
            break;
    }
    doseText_.resize(std::min<std::size_t>(doseText_.size(), 10));
}
