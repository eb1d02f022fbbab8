#include "sim/radiation_background.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kBaseRate = 12.0;
constexpr std::uint32_t kPeakSlot = 1800;  // a peak may start every half hour
constexpr double kPeakChance = 0.02;

std::uint64_t SplitMix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

}  // namespace

double RadiationBackground::Uniform(std::uint64_t value) const {
    const std::uint64_t h = SplitMix(value ^ (std::uint64_t{seed_} << 32));
    return static_cast<double>(h >> 11) / static_cast<double>(1ull << 53);
}

double RadiationBackground::PeakFactor(std::uint32_t time) const {
    const std::uint32_t slot = time / kPeakSlot;
    if (Uniform(0x5EA4000000000000ull + slot) >= kPeakChance) {
        return 1.0;
    }
    const std::uint32_t offset = time % kPeakSlot;
    const auto duration = static_cast<std::uint32_t>(120 + 600 * Uniform(slot * 7ull + 1));
    if (offset >= duration) {
        return 1.0;
    }
    return 3.0 + 12.0 * Uniform(slot * 7ull + 2);
}

double RadiationBackground::MicroRoentgenPerHour(std::uint32_t time) const {
    constexpr double kPi = 3.14159265358979323846;
    const double daily = 1.5 * std::sin(2 * kPi * (time % 86400) / 86400.0);
    const double noise = 3.0 * (Uniform(time) - 0.5);
    return std::max(1.0, (kBaseRate + daily + noise) * PeakFactor(time));
}

std::uint32_t RadiationBackground::Pulses(std::uint32_t start, std::uint16_t length, int sensors,
                                          std::uint32_t k100) const {
    // rate = p * 3600 * K / (86 * s) with p pulses per second, solved for p.
    const double rate = MicroRoentgenPerHour(start + length / 2u);
    const double perSecond = rate * 86.0 * sensors / (3600.0 * std::max(k100, 1u) / 100.0);
    const double expected = perSecond * length;
    // Counting noise of about the square root of the count.
    const double noise = std::sqrt(expected) * 2.0 * (Uniform(~std::uint64_t{start}) - 0.5);
    return static_cast<std::uint32_t>(std::max(0.0, std::round(expected + noise)));
}
