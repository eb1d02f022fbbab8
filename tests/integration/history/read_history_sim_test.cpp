#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/language.h"
#include "history/history_chart_model.h"
#include "history/history_commands_device.h"
#include "history/history_delete.h"
#include "history/read_history.h"
#include "support/recording_dialogs.h"
#include "support/recording_host.h"
#include "support/sim_history.h"
#include "support/sim_on_stack.h"
#include "unit/history/history_test_support.h"

namespace {

constexpr std::uint32_t kNow = 731513109;
const ArchiveDeviceKey kArchiveKey{"123-45678", "00:11:22:33:44:55:66:77:88:99:AA:BB", "K310"};

SimOptions Options(HistoryShape shape, std::uint32_t records = 0) {
    SimOptions options;
    options.deviceTime = kNow;
    options.history = {.shape = shape, .records = records, .recordWhileRunning = false};
    return options;
}

// A simulated K310 with a stopped clock over a real pseudo-terminal, and the
// history reading over the program's device stack.
class ReadHistoryOnSimulatorTest : public ::testing::Test {
  protected:
    void Start(const SimOptions& options) {
        SetUiLanguage(Language::English);
        rig_.emplace(options, DeviceStackOptions{.dialogs = &linkDialogs_, .log = &log_}, 4,
                     SimOnStack::StoppedClock());
        ASSERT_EQ(rig_->Error(), "");
        device_ = std::make_unique<CommandsHistoryDevice>(rig_->Stack().Commands());
    }
    ~ReadHistoryOnSimulatorTest() override { SetUiLanguage(Language::Russian); }

    // `afterPage` sees each page done, as the progress does.
    HistoryOutcome Read(std::function<void(int done)> afterPage = {},
                        HistoryArchive* archive = nullptr, bool full = false) {
        ReadHistory::Hooks hooks;
        hooks.progress = [this, afterPage](const ReadingProgress& reached) {
            if (reached.total > 0) {
                pagesDone_.push_back(reached.done);
                reached_.push_back(reached);
                if (afterPage) {
                    afterPage(reached.done);
                }
            }
        };
        reader_ = std::make_unique<ReadHistory>(HistoryAccess{*device_, host_, nullptr}, history_,
                                                dialogs_, &log_, std::move(hooks));
        reader_->UseArchive(archive, kArchiveKey, full);
        return reader_->Run(2);
    }

    void AddRecords(std::uint32_t count) { AddMinuteRecords(rig_->Sim(), count); }
    std::size_t FlashReads() const { return rig_->Sim().CountRequests(2, 0x02); }

    std::vector<std::uint32_t> CommandWords() {
        return rig_->Sim().WithModel([](DeviceModel& model) { return model.CommandWords(); });
    }
    bool AccessOpen() {
        return rig_->Sim().WithModel([](DeviceModel& model) { return model.HistoryAccessOpen(); });
    }

    // Every record of the device's ring equals the one read, and the CSV holds
    // one line per measurement record.
    void ExpectSameAsDevice() {
        const auto [count, oldest] = rig_->Sim().WithModel([](DeviceModel& model) {
            return std::pair(model.History().Count(), model.History().Oldest());
        });
        ASSERT_EQ(history_.header.count, count);
        ASSERT_EQ(history_.header.oldest, oldest);
        for (std::uint32_t k = 0; k < count; ++k) {
            const std::uint32_t index = history_.header.PhysicalIndex(k);
            const SimHistoryRecord expected = rig_->Sim().WithModel(
                [index](DeviceModel& model) { return model.History().RecordAt(index); });
            const HistoryRecord got = history_.store.Record(index);
            ASSERT_EQ(got.start, expected.start) << k;
            ASSERT_EQ(got.pulses, expected.pulses) << k;
            ASSERT_EQ(got.length, expected.length) << k;
            ASSERT_EQ(got.state, expected.state) << k;
        }
        EXPECT_EQ(static_cast<std::uint32_t>(history_.csv.Rows() - 1),
                  MeasurementsBySlot(rig_->Sim()).first);
    }

    AppLog log_;
    RecordingDialogs linkDialogs_;
    RecordingDialogs dialogs_;
    RecordingHost host_;
    std::optional<SimOnStack> rig_;
    std::unique_ptr<CommandsHistoryDevice> device_;
    DeviceHistory history_;
    std::unique_ptr<ReadHistory> reader_;
    std::vector<int> pagesDone_;
    std::vector<ReadingProgress> reached_;
};

TEST_F(ReadHistoryOnSimulatorTest, EmptyRingReadsOnePageAndNoRecords) {
    Start(Options(HistoryShape::Empty));
    ASSERT_EQ(Read(), HistoryOutcome::Completed);
    EXPECT_TRUE(history_.valid);
    EXPECT_EQ(rig_->Sim().CountRequests(2, 0x02), 128u);
    EXPECT_EQ(history_.csv.Rows(), 1);
    EXPECT_EQ(CommandWords(), (std::vector<std::uint32_t>{0xC0BA0010, 0xC0BA0011}));
    EXPECT_FALSE(AccessOpen());
    EXPECT_EQ(history_.readTime.minute, 5);
    EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(ReadHistoryOnSimulatorTest, PartialRingMatchesTheDevice) {
    Start(Options(HistoryShape::Partial, 700));
    ASSERT_EQ(Read(), HistoryOutcome::Completed);
    EXPECT_EQ(rig_->Sim().CountRequests(2, 0x02), 3u * 128);
    EXPECT_EQ(pagesDone_, (std::vector<int>{0, 1, 2, 3}));
    ExpectSameAsDevice();
    // Newest first: the first data line is the newest record's.
    const std::string csv(history_.csv.Bytes());
    const std::string firstLine = csv.substr(csv.find("\r\n") + 2, 9);
    const std::uint32_t newestStart =
        rig_->Sim().WithModel([](DeviceModel& model) { return model.History().LastEnd(); }) - 60;
    EXPECT_EQ(std::stoul(firstLine), newestStart);
}

TEST_F(ReadHistoryOnSimulatorTest, WrappedAndFullRingsMatchTheDevice) {
    Start(Options(HistoryShape::Wrapped, 1000));
    ASSERT_EQ(Read(), HistoryOutcome::Completed);
    EXPECT_EQ(rig_->Sim().CountRequests(2, 0x02), 255u * 128);
    ExpectSameAsDevice();

    Start(Options(HistoryShape::Full));
    ASSERT_EQ(Read(), HistoryOutcome::Completed);
    EXPECT_EQ(history_.header.count, 65279u);
    ExpectSameAsDevice();
}

TEST_F(ReadHistoryOnSimulatorTest, CancelAfterAPageClosesTheAccess) {
    Start(Options(HistoryShape::Partial, 700));
    ASSERT_EQ(Read([this](int done) {
                  if (done == 1) {
                      reader_->Cancel();
                  }
              }),
              HistoryOutcome::Cancelled);
    EXPECT_EQ(rig_->Sim().CountRequests(2, 0x02), 128u);
    EXPECT_FALSE(history_.valid);
    EXPECT_FALSE(AccessOpen());
    EXPECT_EQ(dialogs_.warnings, std::vector<std::string>{"Reading of History canceled"});
}

TEST_F(ReadHistoryOnSimulatorTest, AFailedFlashReadEndsWithTheErrorAndClosesTheAccess) {
    SimOptions options = Options(HistoryShape::Partial, 700);
    options.faults = {FaultRule{FaultKind::Drop, 2, 0x02, 1, 200, 3, 0, 0}};
    Start(options);
    ASSERT_EQ(Read(), HistoryOutcome::ReadError);
    EXPECT_FALSE(history_.valid);
    EXPECT_FALSE(AccessOpen());
    EXPECT_EQ(CommandWords(), (std::vector<std::uint32_t>{0xC0BA0010, 0xC0BA0011}));
    EXPECT_EQ(dialogs_.errors, std::vector<std::string>{"Error of History reading"});
    EXPECT_TRUE(linkDialogs_.errors.empty());
}

TEST_F(ReadHistoryOnSimulatorTest, UnplugMidReadFailsAndSaysSoInTheLog) {
    SimOptions options = Options(HistoryShape::Partial, 700);
    options.faults = {FaultRule{FaultKind::Unplug, 2, 0x02, 1, 150, 1, 0, 0}};
    Start(options);
    ASSERT_EQ(Read(), HistoryOutcome::ReadError);
    EXPECT_FALSE(history_.valid);
    EXPECT_EQ(dialogs_.errors, std::vector<std::string>{"Error of History reading"});
    EXPECT_TRUE(history_test::LogMentions(log_, "end of access not confirmed"));
    EXPECT_TRUE(host_.linkCheckEnabled);
}

TEST_F(ReadHistoryOnSimulatorTest, AHeaderFailingItsChecksReadsNothingAndClosesTheAccess) {
    Start(Options(HistoryShape::Partial, 700));
    rig_->Sim().WithModel([](DeviceModel& model) {
        // Three pages claimed, two spanned.
        model.ForceHistoryHeader(
            std::array<std::uint32_t, 4>{0x10000100, 0x00FF0200, 0x00000100, 0});
        return 0;
    });
    ASSERT_EQ(Read(), HistoryOutcome::FormatError);
    EXPECT_EQ(rig_->Sim().CountRequests(2, 0x02), 0u);
    EXPECT_FALSE(AccessOpen());
    EXPECT_EQ(dialogs_.errors, std::vector<std::string>{"Error of History Format Data"});
    EXPECT_EQ(history_.csv.Rows(), 1);
}

// Only the count read back tells whether the device deleted its history.
TEST_F(ReadHistoryOnSimulatorTest, ADeleteTheDeviceDoesNotCarryOutShowsTheDeletionError) {
    for (const bool ignored : {false, true}) {
        SimOptions options = Options(HistoryShape::Partial, 700);
        options.history.ignoreDelete = ignored;
        Start(options);
        dialogs_.answerYes = true;
        dialogs_.errors.clear();
        const OperationOutcome outcome =
            DeleteHistoryClick(HistoryAccess{*device_, host_, nullptr}, dialogs_);
        EXPECT_EQ(outcome.kind, ignored ? OutcomeKind::BadAnswer : OutcomeKind::Completed);
        EXPECT_EQ(dialogs_.errors,
                  std::vector<std::string>(ignored ? 1 : 0, "Error of History deleting"));
        EXPECT_EQ(rig_->Sim().WithModel([](DeviceModel& model) { return model.History().Count(); }),
                  ignored ? 703u : 0u);
        EXPECT_EQ(CommandWords(), (std::vector<std::uint32_t>{0xC0BA0010, 0xC0BA0012, 0xC0BA0011}));
        EXPECT_FALSE(AccessOpen());
        rig_.reset();
    }
}

TEST_F(ReadHistoryOnSimulatorTest, OddRecordsAreExportedOrSkippedAndTheChartCopes) {
    Start(Options(HistoryShape::Empty));
    const std::vector<SimHistoryRecord> records = {
        {0xFE, 0, 0, 1000, 120, 60, 0xFFFF},        {0xFF, 0, 0, 1060, 5, 60, 0xFFFF},
        {0xFE, 0xFF, 0, 1120, 5, 60, 0xFFFF},       {0xFE, 0, 0, 1180, 7, 0, 0xFFFF},
        {0xFC, 0, 0, 1240, 0xFFFFFFFF, 60, 0xFFFF}, {0xFE, 0, 0, 100, 60, 60, 0xFFFF},
        {0xFE, 0, 0, kNow + 100000, 9, 60, 0xFFFF}};
    ASSERT_TRUE(rig_->Sim().WithModel([&](DeviceModel& model) {
        bool written = true;
        for (const SimHistoryRecord& record : records) {
            written = written && model.History().Append(record);
        }
        return written;
    }));
    ASSERT_EQ(Read(), HistoryOutcome::Completed);
    const std::string csv(history_.csv.Bytes());
    const std::string expected =
        std::string(CsvText::kHeader) + "\r\n" +
        "731613109;08.03.2023;17:51:49;60;9;2;127;36;86;=E2*G2*H2/(D2*F2*I2)\r\n" +
        "100;01.01.2000;00:01:40;60;60;2;127;36;86;=E3*G3*H3/(D3*F3*I3)\r\n" +
        "1240;01.01.2000;00:20:40;60;4294967295;2;127;36;86;=E4*G4*H4/(D4*F4*I4)\r\n" +
        "1180;01.01.2000;00:19:40;0;7;2;127;36;86;0\r\n" +
        "1000;01.01.2000;00:16:40;60;120;2;127;36;86;=E6*G6*H6/(D6*F6*I6)\r\n";
    EXPECT_EQ(csv, expected);

    for (HistoryLevel level : {HistoryLevel::Minute, HistoryLevel::Hour, HistoryLevel::Day,
                               HistoryLevel::Month, HistoryLevel::Year}) {
        HistoryChartView chart{level, DateTimeOfSeconds(1000), true};
        const ChartPicture picture = DrawHistory(history_, chart);
        ASSERT_FALSE(picture.bars.empty());
        for (const ChartBar& bar : picture.bars) {
            EXPECT_GE(bar.series[0].value, bar.series[1].value);
        }
    }
    HistoryChartView hour{HistoryLevel::Hour, DateTimeOfSeconds(1000), false};
    const ChartPicture picture = DrawHistory(history_, hour);
    // 00:16:40 to 00:17:39 the first record, then the usable record in erased state.
    EXPECT_EQ(picture.bars[16].series[2].color, kColorFuchsia);
    EXPECT_EQ(picture.bars[17].series[2].color, kColorGreen);
    EXPECT_EQ(picture.bars[30].series[2].color, kColorBlue);
}

}  // namespace

TEST_F(ReadHistoryOnSimulatorTest, ASecondReadingAsksOnlyForWhatIsNewAndGivesTheFullReadingsCsv) {
    Start(Options(HistoryShape::Partial, 3000));
    HistoryArchive archive(rig_->Folder() + "/data/DRAVO/history.sqlite3");
    ASSERT_TRUE(archive.Open()) << archive.Error();
    ASSERT_EQ(Read({}, &archive), HistoryOutcome::Completed);
    EXPECT_EQ(reader_->RecordsFromArchive(), 0u);
    AddRecords(100);

    const std::size_t before = FlashReads();
    reached_.clear();
    ASSERT_EQ(Read({}, &archive), HistoryOutcome::Completed);
    EXPECT_LE(FlashReads() - before, 60u);
    EXPECT_EQ(reader_->RecordsAsked(), 2 * (FlashReads() - before));
    EXPECT_GE(reader_->RecordsFromArchive(), 3000u);
    // The progress counts the pairs asked for, and says what came from where.
    ASSERT_FALSE(reached_.empty());
    const ReadingProgress& last = reached_.back();
    EXPECT_EQ(last.unit, ReadingProgress::Unit::Pairs);
    EXPECT_EQ(last.done, static_cast<int>(FlashReads() - before));
    EXPECT_EQ(last.total, last.done);
    EXPECT_EQ(last.asked, reader_->RecordsAsked());
    EXPECT_EQ(last.fromArchive, reader_->RecordsFromArchive());
    EXPECT_EQ(reached_.front().unit, ReadingProgress::Unit::Pairs);
    EXPECT_EQ(reached_.front().done, 0);
    ExpectSameAsDevice();
    const std::string incremental(history_.csv.Bytes());

    ASSERT_EQ(Read({}, &archive, true), HistoryOutcome::Completed);
    EXPECT_EQ(std::string(history_.csv.Bytes()), incremental);
    EXPECT_EQ(CommandWords().back(), 0xC0BA0011u);
}

TEST_F(ReadHistoryOnSimulatorTest, TheArchiveKeepsEveryRecordOfAFullRingThatOverwritesItsOldest) {
    Start(Options(HistoryShape::Full));
    HistoryArchive archive(rig_->Folder() + "/history.sqlite3");
    ASSERT_TRUE(archive.Open()) << archive.Error();
    ASSERT_EQ(Read({}, &archive), HistoryOutcome::Completed);
    const int firstRecords = history_.csv.Rows() - 1;
    AddRecords(600);  // the oldest pages go

    const std::size_t before = FlashReads();
    ASSERT_EQ(Read({}, &archive), HistoryOutcome::Completed);
    EXPECT_LE(FlashReads() - before, 310u);
    ExpectSameAsDevice();
    ASSERT_EQ(archive.Devices().size(), 1u);
    EXPECT_EQ(archive.Devices()[0].records, firstRecords + 600);
    EXPECT_LT(history_.csv.Rows() - 1, firstRecords + 600);
}

TEST_F(ReadHistoryOnSimulatorTest, AChangedNewestRecordMakesTheReadingAFullOne) {
    Start(Options(HistoryShape::Partial, 700));
    HistoryArchive archive(rig_->Folder() + "/history.sqlite3");
    ASSERT_TRUE(archive.Open()) << archive.Error();
    ASSERT_EQ(Read({}, &archive), HistoryOutcome::Completed);
    // Deleted and written again up to the same position, with other records.
    rig_->Sim().WithModel([](DeviceModel& model) {
        model.History().Clear();
        return 0;
    });
    AddRecords(700);

    const std::size_t before = FlashReads();
    ASSERT_EQ(Read({}, &archive), HistoryOutcome::Completed);
    EXPECT_EQ(FlashReads() - before, 1u + 3 * 128);
    EXPECT_EQ(reader_->RecordsFromArchive(), 0u);
    ExpectSameAsDevice();
}
