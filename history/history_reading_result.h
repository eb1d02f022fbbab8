#pragma once

#include <cstdint>
#include <vector>

#include "history/csv_text.h"
#include "history/history_header.h"
#include "history/history_record.h"
#include "history/history_store.h"
#include "protocol/device_records.h"

// Everything one reading of the device's history leaves behind, shared by the
// chart and the CSV export. Only `valid` says whether they may use it.
struct DeviceHistory {
    static constexpr std::uint16_t kParamCalibration = 4;
    static constexpr std::uint32_t kMinK100 = 10;
    static constexpr std::uint32_t kMaxK100 = 999;
    static constexpr std::uint32_t kDefaultK100 = 100;

    HistoryHeader header;
    HistoryStore store;
    bool valid = false;                 // HistoryValid
    DeviceTimeRecord readTime{};        // HistoryReadTime: the chart's present moment
    std::uint32_t k100 = kDefaultK100;  // HistoryK100
    int sensors = 1;                    // of the model the history was read from
    CsvText csv;
    // The archive's records in place of a reading's ring, oldest first.
    bool fromArchive = false;
    std::vector<HistoryRecord> archived;

    // What a new reading starts from: header zero, not valid, K = 1.
    void Reset();
    std::uint32_t Count() const {
        return fromArchive ? static_cast<std::uint32_t>(archived.size()) : header.count;
    }
    // Logical record k, 0 the oldest.
    HistoryRecord Logical(std::uint32_t k) const {
        return fromArchive ? archived[k] : store.Record(header.PhysicalIndex(k));
    }
};

std::uint32_t ClampK100(std::uint32_t value);
// Counting tubes of a model; one for a board the program does not know.
int SensorCount(std::uint16_t boardCode);
