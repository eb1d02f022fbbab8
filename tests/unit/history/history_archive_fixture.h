#pragma once

// Records, readings and a private folder for the archive's tests.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "history/archive_key.h"
#include "history/history_archive.h"
#include "support/file_text.h"
#include "support/language_guard.h"
#include "support/temp_dir.h"

inline const ArchiveDeviceKey kDevice{"123-45678", "01:02:03:04:05:06:07:08:09:0A:0B:0C", "K310"};

inline std::array<std::uint8_t, 16> RecordBytes(
    std::uint32_t start, std::uint32_t pulses, std::uint8_t state = HistoryRecord::kStateMeasured) {
    std::array<std::uint8_t, 16> bytes;
    bytes.fill(0xFF);
    bytes[0] = state;
    bytes[1] = 0;
    for (int i = 0; i < 4; ++i) {
        bytes[4 + i] = static_cast<std::uint8_t>(start >> (8 * i));
        bytes[8 + i] = static_cast<std::uint8_t>(pulses >> (8 * i));
    }
    bytes[12] = 60;
    bytes[13] = 0;
    return bytes;
}

// A reading whose ring holds `records` from physical index 1 on (slot 0 is
// the page's marker) in page 0 and onwards.
inline void FillReading(DeviceHistory& history,
                        const std::vector<std::array<std::uint8_t, 16>>& records,
                        std::uint32_t k100 = 100) {
    history.Reset();
    history.store.Erase();
    history.k100 = k100;
    history.sensors = 2;
    const auto count = static_cast<std::uint32_t>(records.size());
    const std::uint32_t write = count + 1 + count / 255;
    history.header = HistoryHeader::FromParameters(4096u << 16, 255u << 16 | (write - 0), write, 0);
    std::uint32_t index = 0;
    for (const auto& record : records) {
        if (index % 256 == 0) {
            ++index;
        }
        history.store.Put(index++, record.data());
    }
}

// A fresh reading of `records` (see FillReading).
inline DeviceHistory Reading(const std::vector<std::array<std::uint8_t, 16>>& records,
                             std::uint32_t k100 = 100) {
    DeviceHistory history;
    FillReading(history, records, k100);
    return history;
}

// `count` records a minute apart from time 0, record i with i pulses.
inline std::vector<std::array<std::uint8_t, 16>> MinuteRecords(std::uint32_t count) {
    std::vector<std::array<std::uint8_t, 16>> records;
    for (std::uint32_t i = 0; i < count; ++i) {
        records.push_back(RecordBytes(60 * i, i));
    }
    return records;
}

class HistoryArchiveTest : public ::testing::Test {
  protected:
    TempDir dir;
    LanguageGuard english_{Language::English};
};
