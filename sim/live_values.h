#pragma once

#include <cstdint>
#include <string>

#include "sim/radiation_background.h"

// The measurement state the device keeps in RAM: dose rate, count rate,
// level, and the accumulated dose with its texts. It moves on one second at a
// time as device time passes.
class LiveValues {
  public:
    explicit LiveValues(const RadiationBackground& background) : background_(background) {}

    // Brings the values to device second `now`.
    void AdvanceTo(std::uint32_t now);

    // The dose-rate word in the units code `units` (0 hundredths of uSv/h,
    // 1 uR/h, 2 and above: the count word, twice the CPM).
    std::uint32_t RateWord(std::uint32_t units) const;
    std::uint32_t CountWord() const;
    std::uint8_t Level() const;

    void ResetDose();
    // Rebuilds the dose texts for the units code (the device does this on request).
    void RefreshDoseTexts(std::uint32_t units);

    double DoseMicroSievert() const { return doseMicroSievert_; }
    const std::string& DoseText() const { return doseText_; }
    const std::string& DoseUnitText() const { return doseUnitText_; }
    double MicroRoentgenPerHour() const { return rate_; }

  private:
    const RadiationBackground& background_;
    bool started_ = false;
    std::uint32_t second_ = 0;
    double rate_ = 0;
    double doseMicroSievert_ = 0;
    std::string doseText_ = "0,00";
    std::string doseUnitText_ = "uSv";
};
