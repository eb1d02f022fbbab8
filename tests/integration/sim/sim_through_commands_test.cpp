// The simulated dosimeter driven through the program's own command layer over
// a real pseudo-terminal, found through the port folder as the program finds it.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "model_exchange.h"
#include "support/sim_on_stack.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr int kCom = 7;
const std::uint8_t kEcho[] = {'F', 'e', 'r', 'a', 'n', 'd', 'o', 'l'};

// A tick clock that races ahead, so that waits for answers that never come end
// at once instead of after 700 ms per send.
TickClock RacingTicks() {
    auto ticks = std::make_shared<std::atomic<std::uint32_t>>(0);
    return [ticks] { return ticks->fetch_add(150) + 150; };
}

class SimThroughCommands : public ::testing::Test {
  protected:
    void Plug(SimOptions options, TickClock ticks = SystemTicks) {
        options.deviceTime = options.deviceTime.value_or(731513109);
        rig_.emplace(options, DeviceStackOptions{.clock = std::move(ticks)}, kCom, clock_.AsClock(),
                     SimOnStack::Opening::ByPortTable);
        ASSERT_EQ(rig_->Error(), "");
        device_ = &rig_->Sim();
    }

    DeviceCommands& Commands() { return rig_->Stack().Commands(); }

    std::uint32_t Parameter(std::uint16_t id) {
        std::uint32_t value = 0;
        EXPECT_TRUE(Commands().ReadParameter(id, value)) << id;
        return value;
    }

    static SimOptions Options(SimModel model, HistoryShape shape = HistoryShape::Empty,
                              std::uint32_t records = 0) {
        SimOptions options;
        options.model = model;
        options.history = {.shape = shape, .records = records, .recordWhileRunning = false};
        options.restartDelayMs = 100;
        return options;
    }

    FakeClock clock_;
    std::optional<SimOnStack> rig_;
    SimulatedDevice* device_ = nullptr;
};

TEST_F(SimThroughCommands, K310IdentificationRoundTrip) {
    SimOptions options = Options(SimModel::K310);
    options.serialNumber = 12345678;
    options.hardwareRevision = 42;
    Plug(options);
    ASSERT_EQ(Commands().Test(kEcho, 8, false), 1);
    EXPECT_EQ(Commands().BoardCode(), 310);
    ASSERT_TRUE(Commands().CachedBoardInfo());
    EXPECT_EQ(Commands().CachedBoardInfo()->revision, 42);
    ASSERT_TRUE(Commands().ReadCpuInfo(false));
    EXPECT_EQ(Commands().CachedCpuInfo()->Type(), 9);
    EXPECT_EQ(MainProgramStart(*Commands().CachedCpuInfo()),
              device_->WithModel([](DeviceModel& m) { return m.Layout().mainProgramStart; }));
    ASSERT_TRUE(Commands().ReadInf1Block());
    const Inf1Block& inf1 = *Commands().CachedInf1Block();
    EXPECT_EQ(inf1[1], 6);
    EXPECT_EQ(inf1[9], 0x21);
    EXPECT_EQ(inf1[12], 0x87);
    ASSERT_TRUE(Commands().ReadUniqueId());
    const auto expected = device_->WithModel([](DeviceModel& m) { return m.Options().uniqueId; });
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), Commands().CachedUniqueId().begin()));
    SoftInfo soft;
    ASSERT_TRUE(Commands().ReadSoftInfo(&soft, false));
    EXPECT_EQ(soft.mainVersion, 0x0C06);
    EXPECT_EQ(soft.bootVersion, 0x0400);
}

TEST_F(SimThroughCommands, K520AndBootModeIdentification) {
    SimOptions options = Options(SimModel::K520);
    options.cpuType = 5;
    options.hardwareRevision = 3;
    options.startInBootMode = true;
    Plug(options);
    EXPECT_EQ(Commands().BoardCode(), 520);
    EXPECT_EQ(Commands().CachedBoardInfo()->revision, 3);
    EXPECT_EQ(Commands().CachedBoardInfo()->variant, 1);
    ASSERT_TRUE(Commands().ReadCpuInfo(false));
    EXPECT_EQ(Commands().CachedCpuInfo()->Type(), 5);
    ASSERT_TRUE(Commands().ReadInf1Block());
    EXPECT_EQ((*Commands().CachedInf1Block())[1], 4);
    ASSERT_TRUE(Commands().ReadUniqueId());
    EXPECT_TRUE(Commands().CachedSoftInfo()->BootMode());
    EXPECT_FALSE(Commands().UsesNewCpuCodes());
}

TEST_F(SimThroughCommands, OldBootLoaderIsBoard405AndHasNoClock) {
    SimOptions options = Options(SimModel::K310);
    options.bootVersion = 0x03FF;
    Plug(options);
    EXPECT_EQ(Commands().BoardCode(), 405);
    DeviceTimeRecord time;
    EXPECT_FALSE(Commands().TimeRead(time));
    EXPECT_EQ(device_->CountRequests(1, 0x0A) + device_->CountRequests(1, 0x0C), 0u);
}

TEST_F(SimThroughCommands, SettingsWriteBackOrAnswerWithTheStoredValue) {
    Plug(Options(SimModel::K310));
    EXPECT_EQ(Parameter(4), 127u);
    EXPECT_TRUE(Commands().WriteParameter(4, 250));
    EXPECT_EQ(Parameter(4), 250u);

    ParamRecord record{.id = 7, .value = 16};
    ASSERT_TRUE(Commands().ParWrite(record));
    EXPECT_EQ(record.value, 8u) << "out of range: the stored row comes back";
    record = {.id = 21, .value = 23};
    ASSERT_TRUE(Commands().ParWrite(record));
    EXPECT_EQ(record.value, 23u);
    EXPECT_EQ(device_->WithModel([](DeviceModel& m) { return *m.Parameters().Get(21); }), 23u);
}

TEST_F(SimThroughCommands, ClockReadsRunsAndTakesTheTimeWritten) {
    Plug(Options(SimModel::K520));
    DeviceTimeRecord time;
    ASSERT_TRUE(Commands().TimeRead(time));
    EXPECT_EQ(time.year, 23);
    EXPECT_EQ(time.month, 3);
    EXPECT_EQ(time.day, 7);
    EXPECT_EQ(time.hour, 14);

    ASSERT_TRUE(Commands().TimeWrite(
        {.second = 30, .minute = 59, .hour = 23, .day = 31, .month = 12, .year = 26}));
    clock_.AdvanceSeconds(45);
    ASSERT_TRUE(Commands().TimeRead(time));
    EXPECT_EQ(time.year, 27);
    EXPECT_EQ(time.month, 1);
    EXPECT_EQ(time.day, 1);
    EXPECT_EQ(time.second, 15);
}

TEST_F(SimThroughCommands, LiveValuesAreReadWhereTheAddressParametersPoint) {
    Plug(Options(SimModel::K310));
    const std::uint32_t rateAddress = Parameter(0xC001);
    const std::uint32_t levelAddress = Parameter(0xC002);
    const std::uint32_t textAddress = Parameter(0xC015);
    EXPECT_EQ(Parameter(9), 0u);

    std::uint8_t rate[4] = {};
    ASSERT_EQ(Commands().MemRead(rateAddress, rate, 4, false), 4);
    const auto expected = device_->WithModel([](DeviceModel& m) { return m.Live().RateWord(0); });
    EXPECT_EQ(ReadLe32(rate), expected);

    std::uint8_t level = 0xFF;
    ASSERT_EQ(Commands().MemRead(levelAddress + 2, &level, 1, false), 1);
    EXPECT_LE(level, 120);

    clock_.AdvanceSeconds(24 * 3600);
    ASSERT_TRUE(Commands().WriteParameter(0xFF00, 0xC0BA0021));
    std::uint8_t text[10] = {};
    ASSERT_EQ(Commands().MemRead(textAddress, text, 10, false), 10);
    EXPECT_NE(std::string(reinterpret_cast<char*>(text), 4), "0,00") << "a day of dose";
    ASSERT_TRUE(Commands().WriteParameter(0xFF00, 0xC0BA0020));
    ASSERT_EQ(Commands().MemRead(textAddress, text, 10, false), 10);
    EXPECT_STREQ(reinterpret_cast<char*>(text), "0,00");
}

struct RingHeader {
    std::uint32_t oldest, write, count, pages;
};

class SimHistoryThroughCommands : public SimThroughCommands {
  protected:
    RingHeader ReadHeader() {
        const std::uint32_t c021 = Parameter(0xC021), c022 = Parameter(0xC022);
        EXPECT_EQ(Parameter(0xC020) >> 16, 4096u);
        return {c022 >> 16, c022 & 0xFFFF, c021 & 0xFFFF, c021 >> 16};
    }

    // One page over EFL_READ in 32-byte pairs, as the history reading does it.
    std::vector<std::uint8_t> ReadPage(std::uint32_t page) {
        std::vector<std::uint8_t> bytes(4096);
        for (std::uint32_t offset = 0; offset < 4096; offset += 32) {
            EXPECT_EQ(
                Commands().EflRead(0x100000 + page * 4096 + offset, &bytes[offset], 32, false), 32);
        }
        return bytes;
    }

    void ExpectPageMatchesFlash(std::uint32_t page) {
        const auto read = ReadPage(page);
        const auto stored = device_->WithModel(
            [&](DeviceModel& m) { return m.ExternalFlash().Read(0x100000 + page * 4096, 4096); });
        EXPECT_EQ(read, stored) << "page " << page;
    }
};

TEST_F(SimHistoryThroughCommands, EmptyHistoryReadsAsErasedPageZero) {
    Plug(Options(SimModel::K310, HistoryShape::Empty));
    ASSERT_TRUE(Commands().WriteParameter(0xFF00, 0xC0BA0010));
    const RingHeader h = ReadHeader();
    EXPECT_EQ(h.oldest + h.write + h.count, 0u);
    EXPECT_EQ(ReadPage(0), std::vector<std::uint8_t>(4096, 0xFF));
    ASSERT_TRUE(Commands().WriteParameter(0xFF00, 0xC0BA0011));
}

TEST_F(SimHistoryThroughCommands, TwoPagesReadBackNewestFirst) {
    Plug(Options(SimModel::K520, HistoryShape::Partial, 290));
    const RingHeader h = ReadHeader();
    EXPECT_EQ(h.write, 0x124u);
    EXPECT_EQ(h.count, 0x124u);
    ExpectPageMatchesFlash(1);
    ExpectPageMatchesFlash(0);
    EXPECT_EQ(device_->CountRequests(2, 0x02), 256u);
}

TEST_F(SimHistoryThroughCommands, WrappedAndFullRingsAnnounceConsistentGeometry) {
    Plug(Options(SimModel::K310, HistoryShape::Wrapped));
    RingHeader h = ReadHeader();
    EXPECT_EQ(h.pages, 255u);
    EXPECT_GT(h.oldest, h.write);
    EXPECT_EQ(h.count / 256 + 1, h.pages - h.oldest / 256 + h.write / 256 + 1);
    ExpectPageMatchesFlash(h.write / 256);
    ExpectPageMatchesFlash(h.oldest / 256);

    Plug(Options(SimModel::K310, HistoryShape::Full));
    h = ReadHeader();
    EXPECT_EQ(h.count / 256 + 1, 255u);
    ExpectPageMatchesFlash(254);
}

TEST_F(SimHistoryThroughCommands, DeletingInsideAnAccessEmptiesTheRing) {
    Plug(Options(SimModel::K310, HistoryShape::Partial, 1000));
    ASSERT_TRUE(Commands().WriteParameter(0xFF00, 0xC0BA0010));
    ASSERT_TRUE(Commands().WriteParameter(0xFF00, 0xC0BA0012));
    ASSERT_TRUE(Commands().WriteParameter(0xFF00, 0xC0BA0011));
    EXPECT_EQ(ReadHeader().count, 0u);
    EXPECT_EQ(device_->WithModel([](DeviceModel& m) { return m.CommandWords(); }),
              (std::vector<std::uint32_t>{0xC0BA0010, 0xC0BA0012, 0xC0BA0011}));
}

TEST_F(SimThroughCommands, FlashWritesNeedErasedBytes) {
    Plug(Options(SimModel::K310));
    std::vector<std::uint8_t> chunk(128, 0xA5);
    ASSERT_TRUE(Commands().EflErase4k(0x4B000, false));
    ASSERT_TRUE(Commands().EflWrite(0x4B000, chunk.data(), chunk.size(), false));
    EXPECT_FALSE(Commands().EflWrite(0x4B040, chunk.data(), chunk.size(), false));
    ASSERT_TRUE(Commands().EflErase4k(0x4B000, false));
    EXPECT_TRUE(Commands().EflWrite(0x4B040, chunk.data(), chunk.size(), false));
    const auto stored =
        device_->WithModel([](DeviceModel& m) { return m.ExternalFlash().Read(0x4B040, 128); });
    EXPECT_EQ(stored, chunk);
}

TEST_F(SimThroughCommands, CpuFlashIsWrittenPageByPageInBootMode) {
    SimOptions options = Options(SimModel::K310);
    options.startInBootMode = true;
    Plug(options);
    ASSERT_TRUE(Commands().ReadCpuInfo(false));
    const std::uint32_t start = MainProgramStart(*Commands().CachedCpuInfo());
    const std::uint32_t page = FlashPageSize(Commands().CachedCpuInfo()->Type());
    ASSERT_EQ(page, 128u);
    std::vector<std::uint8_t> image(512);
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 7);
    }
    EXPECT_FALSE(Commands().CpuWrite(start, image.data(), 32, false)) << "not yet erased";
    for (std::uint32_t offset = 0; offset < image.size(); offset += 32) {
        if (offset % page == 0) {
            ASSERT_TRUE(Commands().CpuErase(start + offset, false));
        }
        ASSERT_TRUE(Commands().CpuWrite(start + offset, &image[offset], 32, false));
    }
    EXPECT_EQ(device_->WithModel([&](DeviceModel& m) { return m.CpuFlash().Read(start, 512); }),
              image);
    EXPECT_EQ(device_->CountRequests(3, 0x05), 4u);
    EXPECT_EQ(device_->CountRequests(3, 0x03), 17u);
}

TEST_F(SimThroughCommands, RestartTakesThePortAwayAndBringsItBackInBootMode) {
    Plug(Options(SimModel::K520));
    ASSERT_TRUE(Commands().Reset(true, false));
    const std::string link = rig_->Folder() + "/COM" + std::to_string(kCom);
    ASSERT_TRUE(device_->WaitForAppearance(2, 3s));
    ASSERT_TRUE(rig_->Stack().Open(kCom));
    SoftInfo soft;
    ASSERT_TRUE(Commands().ReadSoftInfo(&soft, false));
    EXPECT_TRUE(soft.BootMode());
    EXPECT_TRUE(fs::is_symlink(link));

    ASSERT_TRUE(Commands().Reset(false, false));
    ASSERT_TRUE(device_->WaitForAppearance(3, 3s));
    ASSERT_TRUE(rig_->Stack().Open(kCom));
    ASSERT_TRUE(Commands().ReadSoftInfo(&soft, false));
    EXPECT_EQ(soft.mainVersion, 0x0C03);
}

TEST_F(SimThroughCommands, RequesterRetriesPastDroppedAndLateAnswers) {
    SimOptions options = Options(SimModel::K310);
    // The late answer comes well past the 700 ms of a send, so that a busy
    // machine's late look at the queue does not find the answer already there.
    options.faults = {{.kind = FaultKind::Drop, .code = 0, .limit = 1},
                      {.kind = FaultKind::Delay, .code = 1, .limit = 1, .delayMs = 1200}};
    Plug(options);
    EXPECT_EQ(Commands().Test(kEcho, 8, false), 1);
    EXPECT_EQ(device_->CountRequests(1, 0), 2u) << "the first send went unanswered";
    SoftInfo soft;
    EXPECT_TRUE(Commands().ReadSoftInfo(&soft, false)) << "the late answer still matches";
    // The device reads the resend only after its late answer has gone out,
    // which may be after the requester already took that answer.
    EXPECT_TRUE(device_->WaitForRequests(1, 1, 2, 3s)) << "the late answer came before a resend";
    EXPECT_EQ(device_->CountRequests(1, 1), 2u);
}

TEST_F(SimThroughCommands, CorruptWrongAndSilentAnswersAllFailAfterThreeSends) {
    SimOptions options = Options(SimModel::K310);
    options.faults = {{.kind = FaultKind::Corrupt, .code = 0},
                      {.kind = FaultKind::WrongCode, .code = 1},
                      {.kind = FaultKind::Silent, .code = 0x0E}};
    Plug(options, RacingTicks());
    EXPECT_EQ(Commands().Test(kEcho, 8, false), 0);
    EXPECT_EQ(device_->CountRequests(1, 0), 3u);
    EXPECT_FALSE(Commands().ReadSoftInfo(nullptr, false));
    EXPECT_EQ(device_->CountRequests(1, 1), 3u);
    ParamRecord record{.id = 9};
    EXPECT_FALSE(Commands().ParRead(record, false));
    EXPECT_FALSE(Commands().ParRead(record, false));
    EXPECT_EQ(device_->CountRequests(1, 0x0E), 6u);
}

TEST_F(SimThroughCommands, UnplugMidReadingIsSeenByThePort) {
    SimOptions options = Options(SimModel::K310, HistoryShape::Partial, 600);
    options.faults = {{.kind = FaultKind::Unplug, .group = 2, .after = 20}};
    Plug(options, RacingTicks());
    std::uint8_t pair[32];
    int answered = 0;
    for (int i = 0; i < 40; ++i) {
        if (Commands().EflRead(0x100000 + 32 * i, pair, 32, false) == 32) {
            ++answered;
        } else {
            break;
        }
    }
    EXPECT_EQ(answered, 20);
    EXPECT_TRUE(rig_->Stack().Port().DeviceVanished());
    EXPECT_FALSE(fs::exists(fs::symlink_status(rig_->Folder() + "/COM7")));
}

}  // namespace
