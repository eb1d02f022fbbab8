#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "history/csv_export.h"
#include "history/history_bars.h"
#include "history/history_record.h"
#include "history/read_history.h"
#include "support/language_guard.h"
#include "support/recording_dialogs.h"
#include "support/recording_host.h"
#include "unit/history/fake_history_device.h"
#include "unit/history/history_test_support.h"

namespace {

constexpr std::uint32_t kBegin = HistoryDevice::kBeginAccess;
constexpr std::uint32_t kEnd = HistoryDevice::kEndAccess;

class ReadHistoryTest : public ::testing::Test {
  protected:
    // A reader whose progress is recorded and then handed to `progress`.
    void Make(std::function<void(int, int)> then = {}) {
        ReadHistory::Hooks hooks;
        hooks.progress = [this, then](const ReadingProgress& reached) {
            progress.emplace_back(reached.done, reached.total);
            if (then) {
                then(reached.done, reached.total);
            }
        };
        reader =
            std::make_unique<ReadHistory>(HistoryAccess{device, host, [this] { return gateOpen; }},
                                          history, dialogs, &log, std::move(hooks));
    }
    HistoryOutcome Read(std::function<void(int, int)> then = {}) {
        Make(std::move(then));
        return reader->Run(2);
    }

    std::uint32_t PageOfAddress(std::uint32_t address) const {
        return (address - history_geometry::kFlashBase) / HistoryRecord::kSize / 256;
    }

    FakeHistoryDevice device;
    RecordingHost host;
    DeviceHistory history;
    RecordingDialogs dialogs;
    AppLog log;
    bool gateOpen = true;
    std::unique_ptr<ReadHistory> reader;
    std::vector<std::pair<int, int>> progress;
    LanguageGuard english_{Language::English};
};

TEST_F(ReadHistoryTest, ReadsPagesNewestFirstWithOneRequestPerPairAndExportsNewestFirst) {
    device.SetHeader(4096, 0x100, 255, 0x0124, 0, 0x0124);
    device.PutRecord(1, 0xFE, 0, 1000, 10, 60);
    device.PutRecord(2, 0xFC, 0, 1060, 20, 60);
    device.PutRecord(3, 0xFF, 0, 1120, 30, 60);     // erased state
    device.PutRecord(4, 0xFE, 0xFF, 1180, 40, 60);  // not usable
    device.PutRecord(256, 0xFE, 0, 5000, 50, 60);   // slot 0 of page 1: never exported
    device.PutRecord(257, 0xFE, 0, 5060, 60, 0);

    ASSERT_EQ(Read(), HistoryOutcome::Completed);
    EXPECT_TRUE(history.valid);
    EXPECT_EQ(device.commandWords, (std::vector<std::uint32_t>{kBegin, kEnd}));
    ASSERT_EQ(device.eflAddresses.size(), 256u);
    for (std::size_t i = 0; i < 128; ++i) {
        EXPECT_EQ(device.eflAddresses[i], history_geometry::AddressOf(256 + 2 * i));
        EXPECT_EQ(device.eflAddresses[128 + i], history_geometry::AddressOf(2 * i));
    }
    EXPECT_EQ(device.reads, (std::vector<std::uint16_t>{4, 0xC020, 0xC021, 0xC022, 0xC023}));
    EXPECT_EQ(history.store.Record(257).start, 5060u);
    const std::string csv(history.csv.Bytes());
    const std::string expected =
        std::string(CsvText::kHeader) +
        "\r\n"
        "5060;01.01.2000;01:24:20;0;60;2;127;36;86;0\r\n"
        "1060;01.01.2000;00:17:40;60;20;2;127;36;86;=E3*G3*H3/(D3*F3*I3)\r\n"
        "1000;01.01.2000;00:16:40;60;10;2;127;36;86;=E4*G4*H4/(D4*F4*I4)\r\n";
    EXPECT_EQ(csv, expected);
    EXPECT_EQ(progress.front(), std::make_pair(0, 2));
    EXPECT_EQ(progress[1], std::make_pair(1, 2));
    EXPECT_EQ(progress[2], std::make_pair(2, 2));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(host.calls, (std::vector<std::string>{"link-check off", "link-check on"}));
    EXPECT_EQ(history.readTime.minute, 5);
    EXPECT_EQ(history.k100, 127u);
}

TEST_F(ReadHistoryTest, CalibrationIsClampedIntoItsRangeAndTubesFollowTheModel) {
    EXPECT_EQ(SensorCount(310), 2);
    EXPECT_EQ(SensorCount(520), 1);
    device.parameters[4] = 5;
    ASSERT_EQ(Read(), HistoryOutcome::Completed);
    EXPECT_EQ(history.k100, 10u);
    device.parameters[4] = 5000;
    ASSERT_EQ(Read(), HistoryOutcome::Completed);
    EXPECT_EQ(history.k100, 999u);
}

TEST_F(ReadHistoryTest, CancelAfterAPageStopsSendsTheEndAndLeavesTheHistoryInvalid) {
    device.SetHeader(4096, 0x100, 255, 0x0300, 0, 0x0300);
    ASSERT_EQ(Read([this](int done, int) {
                  if (done == 1) {
                      reader->Cancel();
                  }
              }),
              HistoryOutcome::Cancelled);
    EXPECT_FALSE(history.valid);
    EXPECT_EQ(device.eflAddresses.size(), 128u);
    EXPECT_EQ(PageOfAddress(device.eflAddresses.front()), 3u);
    EXPECT_EQ(device.commandWords, (std::vector<std::uint32_t>{kBegin, kEnd}));
    EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"warning:Reading of History canceled"}));
    EXPECT_EQ(progress.back(), std::make_pair(0, 0));
    EXPECT_TRUE(host.linkCheckEnabled);
}

// The CLI's Ctrl-C may come in before the job that reads has started.
TEST_F(ReadHistoryTest, ACancelBeforeTheRunEndsItBeforeThePages) {
    device.SetHeader(4096, 0x100, 255, 0x0300, 0, 0x0300);
    Make();
    reader->Cancel();
    EXPECT_EQ(reader->Run(2), HistoryOutcome::Cancelled);
    EXPECT_TRUE(device.eflAddresses.empty());
    EXPECT_EQ(device.commandWords, (std::vector<std::uint32_t>{kBegin, kEnd}));
    EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"warning:Reading of History canceled"}));
}

TEST_F(ReadHistoryTest, EveryFailureAfterTheBeginStillEndsTheAccess) {
    device.failTime = true;
    EXPECT_EQ(Read(), HistoryOutcome::ReadError);
    EXPECT_EQ(device.commandWords, (std::vector<std::uint32_t>{kBegin, kEnd}));
    EXPECT_TRUE(device.eflAddresses.empty());

    device.failTime = false;
    device.commandWords.clear();
    device.failParameter = 0xC022;
    EXPECT_EQ(Read(), HistoryOutcome::ReadError);
    EXPECT_EQ(device.commandWords, (std::vector<std::uint32_t>{kBegin, kEnd}));

    device.failParameter.reset();
    device.commandWords.clear();
    device.SetHeader(4096, 0x100, 255, 0x0200, 0, 0x0100);
    EXPECT_EQ(Read(), HistoryOutcome::FormatError);
    EXPECT_EQ(device.commandWords, (std::vector<std::uint32_t>{kBegin, kEnd}));
    EXPECT_TRUE(device.eflAddresses.empty());
    EXPECT_EQ(std::string(history.csv.Bytes()), std::string(CsvText::kHeader) + "\r\n");

    device.commandWords.clear();
    device.SetHeader(4096, 0x100, 255, 0x0300, 0, 0x0300);
    device.failEflReadAt = 200;
    EXPECT_EQ(Read(), HistoryOutcome::ReadError);
    EXPECT_EQ(device.commandWords, (std::vector<std::uint32_t>{kBegin, kEnd}));
    EXPECT_FALSE(history.valid);
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{
                                  "Error of History reading", "Error of History reading",
                                  "Error of History Format Data", "Error of History reading"}));
    EXPECT_TRUE(host.linkCheckEnabled);
}

// A header that places its positions outside the ring it announces is a read
// that went wrong, caught before the flash is touched; the format checks come after.
TEST_F(ReadHistoryTest, PositionsOutsideTheAnnouncedRingAreReadErrorsBeforeAnyFlashRead) {
    struct Row {
        const char* what;
        std::uint32_t pages, count, oldest, write;
        HistoryOutcome outcome;
    };
    const Row rows[] = {
        {"no pages", 0, 0, 0, 0, HistoryOutcome::ReadError},
        {"write position at 65280", 255, 0x100, 0xFE10, 0xFF00, HistoryOutcome::ReadError},
        {"write position past the index limit, P too big", 256, 0x100, 0xFE10, 0xFF10,
         HistoryOutcome::ReadError},
        {"oldest on page 255", 255, 0x10, 0xFF00, 0x0010, HistoryOutcome::ReadError},
        {"both on a page past a ring of 4", 4, 0x10, 0x0500, 0x0510, HistoryOutcome::ReadError},
        {"write position on page 4 of 4", 4, 0x480, 0x0000, 0x0480, HistoryOutcome::ReadError},
        {"oldest on page 4 of 4", 4, 0x100, 0x0480, 0x0100, HistoryOutcome::ReadError},
        {"inside a ring of 4, wrapped", 4, 0x300, 0x0280, 0x0180, HistoryOutcome::Completed},
        {"inside a ring of 1", 1, 0x10, 0x0000, 0x0010, HistoryOutcome::Completed},
        {"inside the ring, P too big", 256, 0, 0, 0, HistoryOutcome::FormatError},
    };
    for (const Row& row : rows) {
        device.SetHeader(4096, 0x100, row.pages, row.count, row.oldest, row.write);
        device.eflAddresses.clear();
        dialogs.errors.clear();
        EXPECT_EQ(Read(), row.outcome) << row.what;
        if (row.outcome == HistoryOutcome::ReadError) {
            EXPECT_TRUE(device.eflAddresses.empty()) << row.what;
            EXPECT_EQ(dialogs.errors, std::vector<std::string>{"Error of History reading"})
                << row.what;
        }
    }
}

// A ring of fewer than 255 pages wraps at its own end, for the reading and the
// chart alike: every record lands at its logical place once.
TEST_F(ReadHistoryTest, ASmallRingMapsEveryRecordToItsLogicalPlace) {
    constexpr std::uint32_t kPages = 4;
    constexpr std::uint32_t kCount = 0x300;
    constexpr std::uint32_t kOldest = 0x0280;
    constexpr std::uint32_t kFirstStart = 100000;
    device.SetHeader(4096, 0x100, kPages, kCount, kOldest, 0x0180);
    std::uint64_t pulses = 0;
    for (std::uint32_t k = 0; k < kCount; ++k) {
        device.PutRecord((kOldest + k) % (kPages * 256), 0xFE, 0, kFirstStart + 60 * k, k % 7 + 1,
                         60);
        pulses += k % 7 + 1;
    }
    ASSERT_EQ(Read(), HistoryOutcome::Completed);
    for (std::uint32_t k = 0; k < kCount; ++k) {
        ASSERT_EQ(history.Logical(k).start, kFirstStart + 60 * k) << k;
    }
    HistoryCursor cursor;
    ASSERT_TRUE(PositionHistory(history, cursor, kFirstStart));
    const BarSums sums = AccumulateBar(history, cursor, kCount * 60);
    EXPECT_EQ(sums.covered, kCount * 60);
    EXPECT_EQ(sums.pulses, pulses);
}

TEST_F(ReadHistoryTest, RefusedStartSendsNothing) {
    gateOpen = false;
    EXPECT_EQ(Read(), HistoryOutcome::ReadError);
    device.refuseBegin = true;
    gateOpen = true;
    EXPECT_EQ(Read(), HistoryOutcome::ReadError);
    EXPECT_EQ(device.commandWords, std::vector<std::uint32_t>{kBegin});
    EXPECT_TRUE(device.reads.empty());
    EXPECT_EQ(dialogs.errors.size(), 2u);
}

TEST_F(ReadHistoryTest, UnplugMidReadFailsAndLogsThatTheEndWasNotConfirmed) {
    device.SetHeader(4096, 0x100, 255, 0x0300, 0, 0x0300);
    device.failEflReadAt = 300;
    device.unplugOnFail = true;
    EXPECT_EQ(Read(), HistoryOutcome::ReadError);
    EXPECT_EQ(device.commandWords, std::vector<std::uint32_t>{kBegin});
    EXPECT_TRUE(history_test::LogMentions(log, "end of access not confirmed"));
}

TEST_F(ReadHistoryTest, StopRequestEndsWithoutABox) {
    device.SetHeader(4096, 0x100, 255, 0x0300, 0, 0x0300);
    device.afterRead = [this](std::size_t reads) {
        if (reads == 10) {
            host.RequestStop();
        }
    };
    EXPECT_EQ(Read(), HistoryOutcome::Stopped);
    EXPECT_EQ(device.eflAddresses.size(), 128u);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(device.commandWords, (std::vector<std::uint32_t>{kBegin, kEnd}));
}

TEST_F(ReadHistoryTest, APeriodOfTheReadingExportsItsLinesRenumberedFromRowTwo) {
    device.SetHeader(4096, 0x100, 255, 0x0124, 0, 0x0124);
    device.PutRecord(1, 0xFE, 0, 1000, 10, 60);
    device.PutRecord(2, 0xFE, 0, 1060, 20, 60);
    device.PutRecord(257, 0xFE, 0, 5060, 60, 60);
    ASSERT_EQ(Read(), HistoryOutcome::Completed);
    EXPECT_EQ(CsvTextBetween(history, 0, UINT32_MAX)->Bytes(), history.csv.Bytes());
    const std::string header = std::string(CsvText::kHeader) + "\r\n";
    EXPECT_EQ(std::string(CsvTextBetween(history, 1000, 1060)->Bytes()),
              header + "1060;01.01.2000;00:17:40;60;20;2;127;36;86;=E2*G2*H2/(D2*F2*I2)\r\n" +
                  "1000;01.01.2000;00:16:40;60;10;2;127;36;86;=E3*G3*H3/(D3*F3*I3)\r\n");
    EXPECT_EQ(std::string(CsvTextBetween(history, 6000, 7000)->Bytes()), header);
}

TEST(ReadHistoryRecord, ValidHistoryComesFromTheStoreAndIndexesOutsideTheRingFail) {
    FakeHistoryDevice device;
    DeviceHistory history;
    HistoryPairCache cache;
    std::uint8_t record[16];
    EXPECT_FALSE(ReadHistoryRecord(device, history, cache, 65280, record));
    EXPECT_FALSE(ReadHistoryRecord(device, history, cache, -1, record));
    EXPECT_TRUE(ReadHistoryRecord(device, history, cache, 5, record));
    EXPECT_TRUE(ReadHistoryRecord(device, history, cache, 4, record));
    EXPECT_EQ(device.eflAddresses, std::vector<std::uint32_t>{history_geometry::AddressOf(4)});
    history.valid = true;
    EXPECT_TRUE(ReadHistoryRecord(device, history, cache, 7, record));
    EXPECT_EQ(device.eflAddresses.size(), 1u);
}

}  // namespace
