#pragma once

#include <cstdint>

// A plausible natural background: about 12 uR/h with a slow daily swing,
// second-to-second noise and, now and then, a peak lasting some minutes.
// Every value is a pure function of the seed and the time, so a simulated
// device is repeatable.
class RadiationBackground {
  public:
    explicit RadiationBackground(std::uint32_t seed) : seed_(seed) {}

    // Dose rate in uR/h around second `time` (seconds since 2000).
    double MicroRoentgenPerHour(std::uint32_t time) const;

    // Pulses a sensor array of `sensors` counts in [start, start + length) when
    // the device's calibration is `k100` (K x 100): the inverse of how the
    // program turns pulses into uR/h.
    std::uint32_t Pulses(std::uint32_t start, std::uint16_t length, int sensors,
                         std::uint32_t k100) const;

    // 0..1, a repeatable hash of the seed and any number.
    double Uniform(std::uint64_t value) const;

  private:
    double PeakFactor(std::uint32_t time) const;

    std::uint32_t seed_;
};
