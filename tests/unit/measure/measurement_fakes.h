#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/dialogs.h"
#include "measure/measure_device.h"
#include "support/recording_dialogs.h"

// A dosimeter as the measurement logic sees it: parameters and memory bytes,
// with failures switched on per parameter or address, and a record of the calls.
class FakeMeasureDevice : public MeasureDevice {
  public:
    static constexpr std::uint32_t kDoseRateAt = 0x20001000;
    static constexpr std::uint32_t kCountRateAt = 0x20001010;
    static constexpr std::uint32_t kLevelAt = 0x20001020;
    static constexpr std::uint32_t kDoseTextAt = 0x20001030;
    static constexpr std::uint32_t kDoseUnitAt = 0x20001040;

    FakeMeasureDevice() {
        parameters = {{0xC001, kDoseRateAt}, {0xC004, kCountRateAt}, {0xC002, kLevelAt},
                      {0xC015, kDoseTextAt}, {0xC016, kDoseUnitAt},  {9, 0}};
        SetWord(kDoseRateAt, 1234);
        SetWord(kCountRateAt, 61);
        memory[kLevelAt + 2] = 40;
        SetText(kDoseTextAt, "0,05");
        SetText(kDoseUnitAt, "uSv");
    }

    void SetWord(std::uint32_t address, std::uint32_t value) {
        for (std::uint32_t i = 0; i < 4; ++i) {
            memory[address + i] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    }
    // Ten bytes as the device keeps them: the text, then zeros.
    void SetText(std::uint32_t address, const std::string& text) {
        for (std::uint32_t i = 0; i < 10; ++i) {
            memory[address + i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0;
        }
    }

    bool ReadParameter(std::uint16_t id, std::uint32_t& value) override {
        parameterReads.push_back(id);
        if (!connected || failingParameters.count(id) != 0 || parameters.count(id) == 0) {
            value = 0;
            return false;
        }
        value = parameters[id];
        return true;
    }
    bool WriteParameter(std::uint16_t id, std::uint32_t value) override {
        writes.emplace_back(id, value);
        return connected && !failWrites;
    }
    int MemRead(std::uint32_t address, std::uint8_t* destination, int length) override {
        memReads.push_back(address);
        if (!connected || failingAddresses.count(address) != 0) {
            return -1;
        }
        for (int i = 0; i < length; ++i) {
            destination[i] = memory[address + static_cast<std::uint32_t>(i)];
        }
        return length;
    }

    std::map<std::uint16_t, std::uint32_t> parameters;
    std::map<std::uint32_t, std::uint8_t> memory;
    bool connected = true;
    bool failWrites = false;
    std::set<std::uint16_t> failingParameters;
    std::set<std::uint32_t> failingAddresses;

    std::vector<std::uint16_t> parameterReads;
    std::vector<std::pair<std::uint16_t, std::uint32_t>> writes;
    std::vector<std::uint32_t> memReads;
};

// Message boxes that record their texts and answer questions as scripted.
class FakeDialogs : public RecordingDialogs {
  public:
    FakeDialogs() { answerYes = true; }
};
