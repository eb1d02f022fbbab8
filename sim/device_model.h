#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sim/device_layout.h"
#include "sim/device_parameters.h"
#include "sim/flash_memory.h"
#include "sim/history_ring.h"
#include "sim/live_values.h"
#include "sim/radiation_background.h"
#include "sim/sim_models.h"
#include "sim/sim_options.h"

// Milliseconds of a steady clock; tests pass a fake one.
using SimClock = std::function<std::uint64_t()>;
SimClock SteadySimClock();

// Parameter ids and command words the device knows beyond the settings.
namespace device_params {
inline constexpr std::uint16_t kRateAddress = 0xC001;
inline constexpr std::uint16_t kLevelAddress = 0xC002;
inline constexpr std::uint16_t kCountAddress = 0xC004;
inline constexpr std::uint16_t kDoseTextAddress = 0xC015;
inline constexpr std::uint16_t kDoseUnitAddress = 0xC016;
inline constexpr std::uint16_t kHistoryC020 = 0xC020;
inline constexpr std::uint16_t kHistoryC021 = 0xC021;
inline constexpr std::uint16_t kHistoryC022 = 0xC022;
inline constexpr std::uint16_t kHistoryC023 = 0xC023;
inline constexpr std::uint16_t kCommand = 0xFF00;
inline constexpr std::uint32_t kHistoryBegin = 0xC0BA0010;
inline constexpr std::uint32_t kHistoryEnd = 0xC0BA0011;
inline constexpr std::uint32_t kHistoryDelete = 0xC0BA0012;
inline constexpr std::uint32_t kDoseReset = 0xC0BA0020;
inline constexpr std::uint32_t kDoseRefresh = 0xC0BA0021;
}  // namespace device_params

// The dosimeter without its wire: it takes request packets and gives answer
// packets. Not thread-safe; SimulatedDevice guards it with its lock.
class DeviceModel {
  public:
    DeviceModel(const SimOptions& options, SimClock clock);

    // The answer to one decoded request packet, or none when the device stays
    // silent (unknown command, refused operation, malformed request).
    std::optional<std::vector<std::uint8_t>> Handle(const std::vector<std::uint8_t>& packet);

    // Set by an accepted RESET: true to restart into the boot loader. The
    // transport takes it, goes away and calls Restart when it comes back.
    std::optional<bool> TakeRestartRequest();
    void Restart(bool bootLoader);

    const SimOptions& Options() const { return options_; }
    bool InBootMode() const { return bootMode_; }
    std::uint16_t ReportedMainVersion() const { return bootMode_ ? 0 : mainVersion_; }
    std::uint16_t BoardCode() const { return FactsOf(options_.model).boardCode; }

    // Device time, seconds since 2000 (the clock runs).
    std::uint32_t DeviceTime() const;
    void SetDeviceTime(std::uint32_t seconds);

    // Brings live values and the history up to the current device time.
    void Advance();

    DeviceParameters& Parameters() { return parameters_; }
    FlashMemory& ExternalFlash() { return externalFlash_; }
    FlashMemory& CpuFlash() { return cpuFlash_; }
    // Where the records and the main program lie.
    const device_layout::Layout& Layout() const { return layout_; }
    HistoryRing& History() { return history_; }
    LiveValues& Live() { return live_; }
    const RadiationBackground& Background() const { return background_; }

    // What device memory holds at [address, address + length); unmapped bytes read 0.
    std::vector<std::uint8_t> ReadMemory(std::uint32_t address, std::uint32_t length);

    bool HistoryAccessOpen() const { return historyAccess_; }
    // Answers the four history header parameters (0xC020..0xC023) with these
    // values instead of the ring's, as a faulty device would; none: the ring's.
    void ForceHistoryHeader(std::optional<std::array<std::uint32_t, 4>> values) {
        forcedHeader_ = values;
    }
    const std::string& ConnectionText() const { return connectionText_; }
    const std::vector<std::string>& Screens() const { return screens_; }
    // Every command word written to 0xFF00, in order.
    const std::vector<std::uint32_t>& CommandWords() const { return commandWords_; }

  private:
    using Data = std::vector<std::uint8_t>;
    using Answer = std::optional<Data>;

    Answer HandleMain(int code, const Data& data);
    Answer HandleExternalFlash(int code, const Data& data);
    Answer HandleCpuFlash(int code, const Data& data);

    Answer Echo(const Data& data) const;
    Answer SoftInfo() const;
    // A block read carries at most the profile's largest block.
    std::uint32_t BlockLength(const Data& request) const;
    static Answer BlockAnswer(const Data& request, const Data& bytes);
    Answer MemoryRead(const Data& data);
    Answer Reset(const Data& data);
    Answer TimeRead() const;
    Answer TimeWrite(const Data& data);
    Answer ParameterRead(const Data& data);
    Answer ParameterWrite(const Data& data);
    std::uint32_t CommandWord(std::uint32_t word);
    std::optional<std::uint32_t> ReadOnlyParameter(std::uint16_t id) const;

    Answer BlockRead(FlashMemory& flash, const Data& data);
    // Writes and erases reach only [first, end) of the flash.
    Answer BlockWrite(FlashMemory& flash, const Data& data, std::uint32_t first, std::uint32_t end);
    Answer EraseAt(FlashMemory& flash, const Data& data, std::uint32_t first, std::uint32_t end);

    void WriteLiveValuesToRam();
    void RecordHistoryUpTo(std::uint32_t now);
    int Sensors() const { return FactsOf(options_.model).sensors; }

    SimOptions options_;
    device_layout::Layout layout_;
    SimClock clock_;
    RadiationBackground background_;
    DeviceParameters parameters_;
    FlashMemory externalFlash_;
    FlashMemory cpuFlash_;
    FlashMemory recordArea_;  // empty unless the records lie in an area of their own
    HistoryRing history_;
    LiveValues live_;
    std::vector<std::uint8_t> ram_;
    std::vector<std::uint8_t> uniqueId_;
    std::uint32_t uniqueIdAddress_;

    bool bootMode_;
    std::uint16_t mainVersion_;
    std::uint32_t timeBase_ = 0;
    std::uint64_t clockBase_ = 0;
    std::uint32_t recordedUpTo_ = 0;  // end of the last interval recorded
    bool historyAccess_ = false;
    std::optional<std::array<std::uint32_t, 4>> forcedHeader_;
    std::optional<bool> restartRequest_;
    std::string connectionText_;
    std::vector<std::string> screens_;
    std::vector<std::uint32_t> commandWords_;
};
