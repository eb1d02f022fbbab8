#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

#include "history/history_device.h"
#include "history/history_record.h"
#include "protocol/device_records.h"

// A device held in memory: its history flash, its parameters and clock, with a
// record of what was asked of it and a read that can be made to fail.
class FakeHistoryDevice : public HistoryDevice {
  public:
    FakeHistoryDevice() : flash_(history_geometry::kIndexLimit * HistoryRecord::kSize, 0xFF) {
        parameters[4] = 127;
        SetHeader(4096, 0x100, 255, 0, 0, 0);
        time = DeviceTimeRecord{0, 5, 14, 7, 3, 23, 0};
    }

    void SetHeader(std::uint32_t pageSize, std::uint32_t layoutLow, std::uint32_t pages,
                   std::uint32_t count, std::uint32_t oldest, std::uint32_t write) {
        parameters[0xC020] = pageSize << 16 | layoutLow;
        parameters[0xC021] = pages << 16 | count;
        parameters[0xC022] = oldest << 16 | write;
        parameters[0xC023] = 0;
    }

    void PutRecord(std::uint32_t index, std::uint8_t state, std::uint8_t validity,
                   std::uint32_t start, std::uint32_t pulses, std::uint16_t length) {
        std::uint8_t* bytes = &flash_[index * HistoryRecord::kSize];
        std::memset(bytes, 0, HistoryRecord::kSize);
        bytes[0] = state;
        bytes[1] = validity;
        WriteLe32(bytes + 4, start);
        WriteLe32(bytes + 8, pulses);
        WriteLe16(bytes + 12, length);
    }

    bool ReadParameter(std::uint16_t id, std::uint32_t& value) override {
        reads.push_back(id);
        const auto found = parameters.find(id);
        if (found == parameters.end() || failParameter == id) {
            return false;
        }
        value = found->second;
        return true;
    }
    bool WriteParameter(std::uint16_t id, std::uint32_t value) override {
        if (unplugged) {
            return false;
        }
        if (id == kParamCommand) {
            commandWords.push_back(value);
        }
        if (value == kDelete && !ignoreDelete) {
            parameters[0xC021] &= 0xFFFF0000;
        }
        return !(refuseBegin && value == kBeginAccess);
    }
    bool TimeRead(DeviceTimeRecord& out) override {
        if (failTime || unplugged) {
            return false;
        }
        out = time;
        return true;
    }
    int EflRead(std::uint32_t address, std::uint8_t* destination, int length) override {
        eflAddresses.push_back(address);
        if (unplugged || (failEflReadAt && eflAddresses.size() == *failEflReadAt)) {
            unplugged = unplugged || unplugOnFail;
            return -1;
        }
        const std::uint32_t offset = address - history_geometry::kFlashBase;
        std::memcpy(destination, &flash_[offset], static_cast<std::size_t>(length));
        if (afterRead) {
            afterRead(eflAddresses.size());
        }
        return length;
    }

    std::map<std::uint16_t, std::uint32_t> parameters;
    DeviceTimeRecord time;
    bool failTime = false;
    bool refuseBegin = false;
    bool ignoreDelete = false;  // answers the delete word but keeps the records
    bool unplugged = false;
    bool unplugOnFail = false;
    std::optional<std::uint16_t> failParameter;
    std::optional<std::size_t> failEflReadAt;  // 1-based
    std::function<void(std::size_t reads)> afterRead;

    std::vector<std::uint16_t> reads;
    std::vector<std::uint32_t> commandWords;
    std::vector<std::uint32_t> eflAddresses;

  private:
    std::vector<std::uint8_t> flash_;
};
