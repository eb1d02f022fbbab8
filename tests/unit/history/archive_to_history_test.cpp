#include "history/archive_to_history.h"

#include <gtest/gtest.h>

#include "history/history_bars.h"

namespace {

ArchivedRecord Archived(std::uint32_t start, std::uint32_t pulses, std::uint32_t k100,
                        std::uint8_t state = HistoryRecord::kStateMeasured, int slot = 7) {
    ArchivedRecord archived;
    archived.record.state = state;
    archived.record.validity = 0;
    archived.record.start = start;
    archived.record.length = 60;
    archived.record.pulses = pulses;
    archived.sensors = 2;
    archived.k100 = k100;
    archived.slot = slot;
    return archived;
}

const std::vector<ArchivedRecord> kRecords = {
    // Kept by an archive of version 1 from a page no later reading saw.
    Archived(731513040, 100, 120, HistoryRecord::kStateMeasured, ArchivedRecord::kUnknownSlot),
    Archived(731513100, 120, 127),
    Archived(731513160, 0, 127, 0xF0, 0),  // a page marker: kept, never exported
    Archived(731513220, 140, 127),
    // A measurement in slot 0: charted, never exported, as the reading does.
    Archived(731513280, 150, 127, HistoryRecord::kStateMeasured, 0)};

TEST(ArchiveHistory, CsvIsNewestFirstWithEachRecordsCalibrationAndRowsOfTheFile) {
    EXPECT_EQ(ArchiveCsv(kRecords, 0, 0xFFFFFFFF),
              std::string(CsvText::kHeader) +
                  "\r\n"
                  "731513220;07.03.2023;14:07:00;60;140;2;127;36;86;=E2*G2*H2/(D2*F2*I2)\r\n"
                  "731513100;07.03.2023;14:05:00;60;120;2;127;36;86;=E3*G3*H3/(D3*F3*I3)\r\n"
                  "731513040;07.03.2023;14:04:00;60;100;2;120;36;86;=E4*G4*H4/(D4*F4*I4)\r\n");
    EXPECT_EQ(ArchiveCsv(kRecords, 731513041, 731513219),
              std::string(CsvText::kHeader) +
                  "\r\n"
                  "731513100;07.03.2023;14:05:00;60;120;2;127;36;86;=E2*G2*H2/(D2*F2*I2)\r\n");
}

TEST(ArchiveHistory, ChartsTheArchivedRecordsUpToTheEndOfTheNewest) {
    DeviceHistory history;
    history.header.count = 7;  // left from a reading
    LoadArchiveHistory(kRecords, history);
    EXPECT_TRUE(history.valid);
    ASSERT_EQ(history.Count(), 5u);
    EXPECT_EQ(history.Logical(3).pulses, 140u);
    EXPECT_EQ(history.k100, 127u);
    EXPECT_EQ(history.sensors, 2);
    EXPECT_EQ(history.readTime.hour, 14);
    EXPECT_EQ(history.readTime.minute, 9);

    HistoryCursor cursor;
    ASSERT_TRUE(PositionHistory(history, cursor, 731513100));
    EXPECT_EQ(AccumulateBar(history, cursor, 60).pulses, 120u);
    ASSERT_TRUE(PositionHistory(history, cursor, 731513280));
    EXPECT_EQ(AccumulateBar(history, cursor, 60).pulses, 150u);

    LoadArchiveHistory({}, history);
    EXPECT_EQ(history.Count(), 0u);
    EXPECT_FALSE(PositionHistory(history, cursor, 731513100));
}

}  // namespace
