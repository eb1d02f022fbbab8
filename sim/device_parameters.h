#pragma once

#include <cstdint>
#include <map>
#include <optional>

#include "sim/sim_options.h"

// The settings parameters a model keeps, each with its range. A write outside
// the range leaves the stored value as it was; the answer then carries that
// stored value, which is how the device tells it refused.
class DeviceParameters {
  public:
    static constexpr std::uint16_t kSoundOn = 3;
    static constexpr std::uint16_t kCalibration = 4;
    static constexpr std::uint16_t kUnits = 9;

    explicit DeviceParameters(SimModel model);

    bool Has(std::uint16_t id) const { return settings_.count(id) != 0; }
    std::optional<std::uint32_t> Get(std::uint16_t id) const;

    // The value stored after the attempt, or none for an id the model lacks.
    std::optional<std::uint32_t> Write(std::uint16_t id, std::uint32_t value);

    // Sets a value whatever its range, for tests that need odd device states.
    void Force(std::uint16_t id, std::uint32_t value);
    // From now on every write of `id` leaves its value as it is and the answer
    // carries that value, as a device that does not take the setting.
    void Keep(std::uint16_t id);

  private:
    struct Setting {
        std::uint32_t value;
        std::uint32_t minimum;
        std::uint32_t maximum;
        bool kept = false;
    };

    std::map<std::uint16_t, Setting> settings_;
};
