#include "history/csv_export.h"

void ExportHistoryPage(const HistoryStore& store, int page, CsvText& csv, std::uint32_t from,
                       std::uint32_t to) {
    // Slot 0 of a page never holds an exported measurement.
    const auto first = static_cast<std::uint32_t>(page) * history_geometry::kPageRecords;
    for (std::uint32_t slot = history_geometry::kPageRecords - 1; slot >= 1; --slot) {
        const HistoryRecord record = store.Record(first + slot);
        if (record.Exported() && record.start >= from && record.start <= to) {
            csv.AddCsvLine(record.start, record.length, record.pulses);
        }
    }
}

std::unique_ptr<CsvText> CsvTextBetween(const DeviceHistory& history, std::uint32_t from,
                                        std::uint32_t to) {
    auto csv = std::make_unique<CsvText>();
    csv->Start(history.sensors, history.k100);
    for (int page : history.header.ReadingOrder()) {
        ExportHistoryPage(history.store, page, *csv, from, to);
    }
    return csv;
}
