#include "history/archive_to_history.h"

#include "protocol/calendar.h"

void LoadArchiveHistory(const std::vector<ArchivedRecord>& records, DeviceHistory& history) {
    history.Reset();
    history.archived.clear();
    history.archived.reserve(records.size());
    for (const ArchivedRecord& archived : records) {
        history.archived.push_back(archived.record);
    }
    history.fromArchive = true;
    history.valid = true;
    if (!records.empty()) {
        const ArchivedRecord& newest = records.back();
        history.k100 = newest.k100;
        history.sensors = newest.sensors;
        const DeviceDateTime end =
            DateTimeOfSeconds(newest.record.start + std::uint32_t{newest.record.length});
        history.readTime = DeviceTimeRecord{.second = end.second,
                                            .minute = end.minute,
                                            .hour = end.hour,
                                            .day = end.day,
                                            .month = end.month,
                                            .year = end.year};
    }
    history.csv.Start(history.sensors, history.k100);
}

std::string ArchiveCsv(const std::vector<ArchivedRecord>& records, std::uint32_t from,
                       std::uint32_t to) {
    std::string text = std::string(CsvText::kHeader) + "\r\n";
    int row = 1;
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
        const HistoryRecord& record = it->record;
        // As the reading: slot 0 of a page is never exported, whatever it holds.
        if (it->slot != 0 && record.Exported() && record.start >= from && record.start <= to) {
            text +=
                CsvLine(++row, record.start, record.length, record.pulses, it->sensors, it->k100);
            text += "\r\n";
        }
    }
    return text;
}
