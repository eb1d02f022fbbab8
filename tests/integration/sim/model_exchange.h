#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

#include "raw_client.h"
#include "sim/device_model.h"

// A fake millisecond clock the tests move by hand.
// Atomic: a simulated device's thread reads it while the test moves it.
struct FakeClock {
    std::atomic<std::uint64_t> now{1000000};
    SimClock AsClock() {
        return [this] { return now.load(); };
    }
    void AdvanceSeconds(std::uint64_t seconds) { now += seconds * 1000; }
};

// One request to the model in process; the answer's data when it answered
// with the answer bit and the same group and code.
inline std::optional<std::vector<std::uint8_t>> AskModel(
    DeviceModel& model, int group, int code, const std::vector<std::uint8_t>& data = {}) {
    std::vector<std::uint8_t> packet;
    packet.reserve(6 + data.size());
    for (int byte : {0x00, 0x01, 0x00, group, group, code}) {
        packet.push_back(static_cast<std::uint8_t>(byte));
    }
    for (std::uint8_t byte : data) {
        packet.push_back(byte);
    }
    const auto answer = model.Handle(packet);
    if (!answer || answer->size() < 6 || (*answer)[4] != (group | 0x40) || (*answer)[5] != code ||
        (*answer)[1] != group) {
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(answer->begin() + 6, answer->end());
}

// MEM_READ's data after the address and length bytes; empty without an answer.
inline std::vector<std::uint8_t> MemRead(DeviceModel& model, std::uint32_t address,
                                         std::uint8_t length) {
    const auto answer = AskModel(model, 1, 0x02, Concat({Le32(address), {length}}));
    if (!answer || answer->size() < 5) {
        return {};
    }
    return std::vector<std::uint8_t>(answer->begin() + 5, answer->end());
}

// The value a parameter read or write answers with.
inline std::optional<std::uint32_t> ParameterAnswer(
    const std::optional<std::vector<std::uint8_t>>& answer) {
    if (!answer || answer->size() != 6) {
        return std::nullopt;
    }
    return ReadLe32(*answer, 2);
}
inline std::optional<std::uint32_t> ParRead(DeviceModel& model, std::uint16_t id) {
    return ParameterAnswer(AskModel(model, 1, 0x0E, Le16(id)));
}
inline std::optional<std::uint32_t> ParWrite(DeviceModel& model, std::uint16_t id,
                                             std::uint32_t value) {
    return ParameterAnswer(AskModel(model, 1, 0x0F, Concat({Le16(id), Le32(value)})));
}
