#include "sim/device_model.h"

#include <gtest/gtest.h>

#include "model_exchange.h"
#include "sim/device_layout.h"
#include "sim/history_generator.h"
#include "sim/history_ring.h"

namespace {

SimOptions QuietOptions(SimModel model) {
    SimOptions options;
    options.model = model;
    options.serialNumber = 12345678;
    options.deviceTime = 731513109;  // 07.03.2023 14:05:09
    options.history = {.shape = HistoryShape::Empty, .recordWhileRunning = false};
    return options;
}

// As the program reads: a short answer is followed by a request for the rest.
std::vector<std::uint8_t> MemReadWhole(DeviceModel& model, std::uint32_t address,
                                       std::uint8_t length) {
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < length) {
        const auto part = MemRead(model, address + static_cast<std::uint32_t>(bytes.size()),
                                  static_cast<std::uint8_t>(length - bytes.size()));
        if (part.empty()) {
            break;
        }
        bytes.insert(bytes.end(), part.begin(), part.end());
    }
    return bytes;
}

TEST(DeviceModel, K310IdentifiesItselfThroughSoftInfoCpuInfoAndInf1) {
    FakeClock clock;
    DeviceModel model(QuietOptions(SimModel::K310), clock.AsClock());

    const auto soft = AskModel(model, 1, 0x01);
    ASSERT_TRUE(soft);
    ASSERT_EQ(soft->size(), 8u);
    EXPECT_EQ((*soft)[0] | (*soft)[1] << 8, 0x0400);
    EXPECT_EQ((*soft)[2] | (*soft)[3] << 8, 0x0C06);
    const std::uint32_t cpuInfoAddress = ReadLe32(*soft, 4);

    const auto board = AskModel(model, 1, 0x0A);
    ASSERT_TRUE(board);
    EXPECT_EQ(*board, (std::vector<std::uint8_t>{0x36, 0x01, 41, 0}));  // 310, rev 41, variant 0

    std::vector<std::uint8_t> cpuInfo;
    for (std::uint32_t offset = 0; offset < 48; offset += 16) {
        const auto part = MemRead(model, cpuInfoAddress + offset, 16);
        cpuInfo.insert(cpuInfo.end(), part.begin(), part.end());
    }
    ASSERT_EQ(cpuInfo.size(), 48u);
    EXPECT_EQ(cpuInfo[0] | cpuInfo[1] << 8, 9);
    const std::uint32_t inf1Address = ReadLe32(cpuInfo, 10);
    EXPECT_EQ(ReadLe32(cpuInfo, 14) % 128, 0u) << "start address page-aligned";

    const auto inf1 = MemRead(model, inf1Address, 16);
    ASSERT_EQ(inf1.size(), 16u);
    EXPECT_EQ(inf1[1], 6);
    EXPECT_EQ((std::vector<std::uint8_t>{inf1[9], inf1[10], inf1[11], inf1[12]}),
              (std::vector<std::uint8_t>{0x21, 0x43, 0x65, 0x87}));

    EXPECT_EQ(MemRead(model, 0x1FF80050, 12), model.Options().uniqueId);
}

TEST(DeviceModel, K520ReportsItsBoardVariantCpuAndUniqueIdAddress) {
    FakeClock clock;
    SimOptions options = QuietOptions(SimModel::K520);
    options.hardwareRevision = 3;
    options.cpuType = 8;
    options.uniqueId = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    DeviceModel model(options, clock.AsClock());

    EXPECT_EQ(*AskModel(model, 1, 0x0A), (std::vector<std::uint8_t>{0x08, 0x02, 3, 1}));
    const auto soft = *AskModel(model, 1, 0x01);
    EXPECT_EQ(soft[2] | soft[3] << 8, 0x0C03);
    const auto cpuInfo = MemRead(model, ReadLe32(soft, 4), 16);
    EXPECT_EQ(cpuInfo[0], 8);
    EXPECT_EQ(MemRead(model, ReadLe32(cpuInfo, 10), 16)[1], 4);
    EXPECT_EQ(MemRead(model, 0x1FF80050, 12), options.uniqueId);
}

TEST(DeviceModel, OldBootLoaderKeepsUniqueIdLowAndKnowsNoBoardInfo) {
    FakeClock clock;
    SimOptions options = QuietOptions(SimModel::K310);
    options.bootVersion = 0x0106;
    DeviceModel model(options, clock.AsClock());
    EXPECT_FALSE(AskModel(model, 1, 0x0A));
    EXPECT_EQ(MemRead(model, 0x1FFFF7E8, 12), model.Options().uniqueId);
}

TEST(DeviceModel, BootModeReportsMainVersionZeroAndAnswersOnlyBootCommands) {
    FakeClock clock;
    SimOptions options = QuietOptions(SimModel::K310);
    options.startInBootMode = true;
    DeviceModel model(options, clock.AsClock());

    const auto soft = *AskModel(model, 1, 0x01);
    EXPECT_EQ(soft[2] | soft[3] << 8, 0);
    EXPECT_TRUE(AskModel(model, 1, 0x00, {1, 2, 3}));
    EXPECT_TRUE(AskModel(model, 1, 0x0A));
    EXPECT_FALSE(ParRead(model, 9));
    EXPECT_FALSE(AskModel(model, 1, 0x0C));
    EXPECT_FALSE(AskModel(model, 2, 0x02, Concat({Le32(0), {16}})));

    model.Restart(false);
    EXPECT_FALSE(model.InBootMode());
    EXPECT_EQ(model.ReportedMainVersion(), 0x0C06);
}

TEST(DeviceModel, EchoesTestBytesAndAnswersToTheSendingChannel) {
    FakeClock clock;
    DeviceModel model(QuietOptions(SimModel::K520), clock.AsClock());
    const std::vector<std::uint8_t> request{0x00, 0x01, 0x00, 0x01, 0x01, 0x00, 'F',
                                            'e',  'r',  'a',  'n',  'd',  'o',  'l'};
    const auto answer = model.Handle(request);
    ASSERT_TRUE(answer);
    EXPECT_EQ((*answer)[1], 1);
    EXPECT_EQ((*answer)[4], 0x41);
    EXPECT_EQ(std::vector<std::uint8_t>(answer->begin() + 6, answer->end()),
              std::vector<std::uint8_t>(request.begin() + 6, request.end()));
    // An answer packet coming back is not a request.
    EXPECT_FALSE(model.Handle(*answer));
    EXPECT_FALSE(model.Handle({0x00, 0x01, 0x00, 0x01, 0x01}));
}

// Each profile answers what the classic device answers, at the length it chose.
TEST(DeviceModel, ProfilesAnswerTheSameContentAtTheirOwnLengths) {
    using Answer = std::optional<std::vector<std::uint8_t>>;
    const std::vector<std::uint8_t> echo{'F', 'e', 'r', 'a', 'n', 'd', 'o', 'l'};
    std::vector<std::uint8_t> written(32);
    for (std::size_t i = 0; i < written.size(); ++i) {
        written[i] = static_cast<std::uint8_t>(i * 7);
    }
    const std::vector<std::uint8_t> flashRead = Concat({Le32(0x1000), {32}});
    const auto ask = [&](const DeviceProfile& profile) {
        FakeClock clock;
        SimOptions options = QuietOptions(SimModel::K310);
        options.profile = profile;
        DeviceModel model(options, clock.AsClock());
        model.ExternalFlash().Write(0x1000, written.data(), written.size());
        return std::vector<Answer>{
            AskModel(model, 1, 0x00, echo), AskModel(model, 1, 0x0E, Le16(6)),
            AskModel(model, 1, 0x0C), AskModel(model, 2, 0x02, flashRead),
            AskModel(model, 1, 0x02, Concat({Le32(device_layout::kRateAddress), {16}}))};
    };
    const auto classic = ask(*FindDeviceProfile("classic"));
    for (const DeviceProfile& profile : DeviceProfiles()) {
        const auto answers = ask(profile);
        const std::size_t block = std::min<std::size_t>(profile.largestBlock, 32);
        const std::size_t lengths[] = {8u + profile.echoWithExtraByte, profile.parameterAnswerBytes,
                                       profile.timeAnswerBytes, 5 + block,
                                       5 + std::min<std::size_t>(block, 16)};
        for (std::size_t i = 0; i < answers.size(); ++i) {
            ASSERT_TRUE(answers[i]) << profile.name << " request " << i;
            ASSERT_EQ(answers[i]->size(), lengths[i]) << profile.name << " request " << i;
            // Block reads: the data after the address and length bytes.
            const std::size_t from = i >= 3 ? 5 : 0;
            const std::size_t common = std::min(answers[i]->size(), classic[i]->size());
            EXPECT_TRUE(std::equal(answers[i]->begin() + from, answers[i]->begin() + common,
                                   classic[i]->begin() + from))
                << profile.name << " request " << i;
        }
        EXPECT_EQ((*answers[3])[4], block) << "the length byte says what the answer carries";
    }
}

TEST(DeviceModel, SettingsKeepTheirRangesAndRefuseOutOfRangeWrites) {
    FakeClock clock;
    DeviceModel k310(QuietOptions(SimModel::K310), clock.AsClock());
    DeviceModel k520(QuietOptions(SimModel::K520), clock.AsClock());

    EXPECT_EQ(ParRead(k310, 4), 127u);
    EXPECT_EQ(ParRead(k520, 4), 100u);
    EXPECT_EQ(ParWrite(k310, 4, 999), 999u);
    EXPECT_EQ(ParWrite(k310, 4, 1000), 999u) << "answered with the stored value";
    EXPECT_EQ(ParWrite(k310, 4, 9), 999u);
    EXPECT_EQ(ParWrite(k310, 4, 10), 10u);

    EXPECT_EQ(ParWrite(k310, 7, 15), 15u);
    EXPECT_EQ(ParWrite(k310, 7, 16), 15u);
    EXPECT_EQ(ParWrite(k310, 8, 15), 14u);
    EXPECT_EQ(ParWrite(k310, 17, 60), 60u);
    EXPECT_EQ(ParWrite(k310, 17, 61), 60u);
    EXPECT_EQ(ParWrite(k310, 13, 5), 1u) << "a flag stores only 0 or 1";

    // Ids 6, 21 and 22 differ between the models.
    EXPECT_EQ(ParWrite(k310, 6, 3), 3u);
    EXPECT_EQ(ParWrite(k520, 6, 3), ParRead(k520, 6));
    EXPECT_EQ(ParWrite(k310, 21, 23), 23u);
    EXPECT_EQ(ParWrite(k520, 21, 2), 0u);
    EXPECT_EQ(ParWrite(k310, 22, 59), 59u);
    EXPECT_FALSE(ParRead(k520, 22));
    EXPECT_FALSE(ParRead(k310, 0x1234));

    // K310 keeps sound inverted: 0 means on, as it leaves the factory.
    EXPECT_EQ(ParRead(k310, 3), 0u);
    EXPECT_EQ(ParRead(k520, 3), 1u);

    // Addresses are read-only.
    const auto rate = ParRead(k310, 0xC001);
    EXPECT_EQ(ParWrite(k310, 0xC001, 0x1234), rate);
}

TEST(DeviceModel, LiveValuesFollowTheClockAndTheUnits) {
    FakeClock clock;
    DeviceModel model(QuietOptions(SimModel::K310), clock.AsClock());
    const std::uint32_t rateAddress = *ParRead(model, 0xC001);
    const std::uint32_t countAddress = *ParRead(model, 0xC004);
    const std::uint32_t levelAddress = *ParRead(model, 0xC002);

    std::vector<std::uint32_t> rates;
    for (int second = 0; second < 20; ++second) {
        const auto bytes = MemRead(model, rateAddress, 4);
        ASSERT_EQ(bytes.size(), 4u);
        rates.push_back(ReadLe32(bytes, 0));
        clock.AdvanceSeconds(1);
    }
    for (std::uint32_t rate : rates) {
        EXPECT_GE(rate, 1u);
        EXPECT_LE(rate, 500u) << "a background, not a reactor";
    }
    EXPECT_NE(std::count(rates.begin(), rates.end(), rates[0]), 20) << "values move";

    // Roentgen and hundredths of uSv/h are the same word; CPM reads the count word.
    const std::uint32_t sievert = ReadLe32(MemRead(model, rateAddress, 4), 0);
    ParWrite(model, 9, 1);
    EXPECT_EQ(ReadLe32(MemRead(model, rateAddress, 4), 0), sievert);
    ParWrite(model, 9, 2);
    EXPECT_EQ(ReadLe32(MemRead(model, rateAddress, 4), 0),
              ReadLe32(MemRead(model, countAddress, 4), 0));
    EXPECT_LE(MemRead(model, levelAddress + 2, 1).at(0), 120);
}

TEST(DeviceModel, DoseAccumulatesResetsAndIsShownAfterRefresh) {
    FakeClock clock;
    DeviceModel model(QuietOptions(SimModel::K310), clock.AsClock());
    const std::uint32_t textAddress = *ParRead(model, 0xC015);
    const std::uint32_t unitAddress = *ParRead(model, 0xC016);
    auto text = [&](std::uint32_t address) {
        const auto bytes = MemRead(model, address, 10);
        return std::string(bytes.begin(), std::find(bytes.begin(), bytes.end(), 0));
    };

    clock.AdvanceSeconds(10 * 3600);
    const std::string before = text(textAddress);
    EXPECT_EQ(ParWrite(model, 0xFF00, 0xC0BA0021), 0xC0BA0021u);
    const std::string after = text(textAddress);
    EXPECT_NE(before, after) << "ten hours of background add up";
    EXPECT_EQ(text(unitAddress), "uSv");
    EXPECT_GT(model.Live().DoseMicroSievert(), 0.5);

    ParWrite(model, 0xFF00, 0xC0BA0020);
    EXPECT_EQ(model.Live().DoseMicroSievert(), 0.0);
    EXPECT_EQ(text(textAddress), "0,00");

    ParWrite(model, 9, 2);
    clock.AdvanceSeconds(3600);
    ParWrite(model, 0xFF00, 0xC0BA0021);
    EXPECT_EQ(text(unitAddress), "PULSES");
    EXPECT_EQ(model.CommandWords(),
              (std::vector<std::uint32_t>{0xC0BA0021, 0xC0BA0020, 0xC0BA0021}));
}

TEST(DeviceModel, ClockRunsAndCanBeSetButNotToANonsenseDate) {
    FakeClock clock;
    DeviceModel model(QuietOptions(SimModel::K520), clock.AsClock());
    EXPECT_EQ(*AskModel(model, 1, 0x0C),
              (std::vector<std::uint8_t>{9, 5, 14, 7, 3, 23, 2}));  // a Tuesday
    clock.AdvanceSeconds(51);
    EXPECT_EQ(AskModel(model, 1, 0x0C)->at(1), 6);

    EXPECT_TRUE(AskModel(model, 1, 0x0B, {58, 59, 23, 29, 2, 24, 0}));
    clock.AdvanceSeconds(3);
    EXPECT_EQ(*AskModel(model, 1, 0x0C), (std::vector<std::uint8_t>{1, 0, 0, 1, 3, 24, 5}));

    EXPECT_FALSE(AskModel(model, 1, 0x0B, {0, 0, 0, 30, 2, 23, 0}));
    EXPECT_FALSE(AskModel(model, 1, 0x0B, {0, 0, 24, 1, 1, 23, 0}));
}

TEST(DeviceModel, ExternalFlashWritesOnlyOntoErasedBytes) {
    FakeClock clock;
    DeviceModel model(QuietOptions(SimModel::K310), clock.AsClock());
    const std::vector<std::uint8_t> chunk(32, 0x5A);

    auto write = [&](std::uint32_t address, const std::vector<std::uint8_t>& bytes) {
        return AskModel(model, 2, 0x03,
                        Concat({Le32(address), {static_cast<std::uint8_t>(bytes.size())}, bytes}));
    };
    EXPECT_EQ(*write(0x1000, chunk), Concat({Le32(0x1000), {32}}));
    EXPECT_EQ(*write(0x1010, chunk), Concat({Le32(0x1010), {0}})) << "overlaps written bytes";
    EXPECT_EQ(*write(0x7FFFF0, chunk), Concat({Le32(0x7FFFF0), {0}})) << "past the end";
    EXPECT_EQ(model.ExternalFlash().Read(0x1000, 32), chunk);

    EXPECT_EQ(*AskModel(model, 2, 0x05, Le32(0x1FFF)), Le32(0x1FFF)) << "erases its sector";
    EXPECT_TRUE(model.ExternalFlash().IsErased(0x1000, 4096));
    EXPECT_EQ(*write(0x1010, chunk), Concat({Le32(0x1010), {32}}));
    EXPECT_FALSE(AskModel(model, 2, 0x05, Le32(0x800000))) << "no such sector: no answer";

    const auto read = AskModel(model, 2, 0x02, Concat({Le32(0x1000), {32}}));
    ASSERT_EQ(read->size(), 37u);
    EXPECT_EQ(std::vector<std::uint8_t>(read->begin() + 5, read->begin() + 21),
              std::vector<std::uint8_t>(16, 0xFF));
    EXPECT_EQ(std::vector<std::uint8_t>(read->begin() + 21, read->end()),
              std::vector<std::uint8_t>(16, 0x5A));
}

TEST(DeviceModel, CpuFlashProtectsTheBootLoaderAndAcceptsBothCodePairs) {
    FakeClock clock;
    SimOptions options = QuietOptions(SimModel::K310);
    options.startInBootMode = true;
    options.mainVersionAfterCpuWrite = 0x0C07;
    DeviceModel model(options, clock.AsClock());
    const std::uint32_t start = model.Layout().mainProgramStart;
    const std::vector<std::uint8_t> chunk(32, 0x11);
    auto write = [&](int code, std::uint32_t address) {
        return AskModel(model, 3, code, Concat({Le32(address), {32}, chunk}))->at(4);
    };

    EXPECT_EQ(write(0x03, start), 0) << "the main program is there until erased";
    EXPECT_TRUE(AskModel(model, 3, 0x05, Le32(start)));
    EXPECT_TRUE(model.CpuFlash().IsErased(start, 128));
    EXPECT_FALSE(model.CpuFlash().IsErased(start + 128, 1)) << "one 128-byte page only";
    EXPECT_EQ(write(0x03, start), 32);
    EXPECT_EQ(write(0x06, start + 32), 32);
    EXPECT_TRUE(AskModel(model, 3, 0x07, Le32(start + 128)));
    EXPECT_EQ(write(0x06, start + 128), 32);
    EXPECT_EQ(model.CpuFlash().Read(start, 64), Concat({chunk, chunk}));

    EXPECT_FALSE(AskModel(model, 3, 0x05, Le32(start - 128))) << "boot loader page";
    EXPECT_EQ(write(0x03, start - 32), 0);

    model.Restart(false);
    EXPECT_EQ(model.ReportedMainVersion(), 0x0C07);
}

// Each placement as a device reports it: SoftInfo leads to CpuInfo, CpuInfo to
// the Inf1Block and the main program's start, and no CPU-flash command
// reaches the records wherever they lie.
TEST(DeviceModel, RecordsLieWhereTheProfilePlacesThemAndStayOutOfTheFlashCommandsReach) {
    for (const DeviceProfile& profile : DeviceProfiles()) {
        for (const SimModel kind : {SimModel::K310, SimModel::K520}) {
            SCOPED_TRACE(profile.name + (kind == SimModel::K310 ? " K310" : " K520"));
            FakeClock clock;
            SimOptions options = QuietOptions(kind);
            options.profile = profile;
            options.startInBootMode = true;
            DeviceModel model(options, clock.AsClock());
            const std::uint32_t cpuInfoAddress = ReadLe32(*AskModel(model, 1, 0x01), 4);
            const auto cpuInfo = MemReadWhole(model, cpuInfoAddress, 48);
            ASSERT_EQ(cpuInfo.size(), 48u);
            const std::uint32_t inf1Address = ReadLe32(cpuInfo, 10);
            const std::uint32_t start = ReadLe32(cpuInfo, 14);
            const auto inf1 = MemReadWhole(model, inf1Address, 16);
            EXPECT_EQ(inf1[1], kind == SimModel::K310 ? 6 : 4);
            const std::uint32_t programEnd = start + 0xE000;
            for (const std::uint32_t record : {cpuInfoAddress, inf1Address}) {
                switch (profile.records) {
                    case RecordPlacement::BelowProgram:
                        EXPECT_LT(record, start);
                        break;
                    case RecordPlacement::AboveProgram:
                        EXPECT_GE(record, programEnd);
                        EXPECT_LT(record, device_layout::kCpuFlashEnd);
                        break;
                    case RecordPlacement::OtherArea:
                        EXPECT_GE(record, device_layout::kCpuFlashEnd);
                        break;
                }
                const std::uint32_t page = record & ~0xFFu;
                EXPECT_FALSE(AskModel(model, 3, 0x05, Le32(page))) << std::hex << page;
                const auto written = AskModel(
                    model, 3, 0x03, Concat({Le32(page), {16}, std::vector<std::uint8_t>(16)}));
                ASSERT_TRUE(written);
                EXPECT_EQ(written->at(4), 0) << "write refused";
            }
            EXPECT_EQ(MemReadWhole(model, inf1Address, 16), inf1) << "untouched";
            EXPECT_TRUE(AskModel(model, 3, 0x05, Le32(start))) << "the main program's first page";
        }
    }
}

TEST(DeviceModel, ErasedMainProgramKeepsTheDeviceInBootMode) {
    FakeClock clock;
    SimOptions options = QuietOptions(SimModel::K520);
    options.startInBootMode = true;
    DeviceModel model(options, clock.AsClock());
    ASSERT_TRUE(AskModel(model, 3, 0x05, Le32(model.Layout().mainProgramStart)));
    ASSERT_TRUE(AskModel(model, 1, 0x05, {0x02, 0x00, 0x00, 0x00, 0x0A}));
    EXPECT_EQ(model.TakeRestartRequest(), false);
    model.Restart(false);
    EXPECT_TRUE(model.InBootMode());
}

TEST(DeviceModel, ResetAsksForTheRequestedMode) {
    FakeClock clock;
    DeviceModel model(QuietOptions(SimModel::K310), clock.AsClock());
    EXPECT_FALSE(model.TakeRestartRequest());
    ASSERT_TRUE(AskModel(model, 1, 0x05, {0x03, 0x00, 0x00, 0x00, 0x0A}));
    EXPECT_EQ(model.TakeRestartRequest(), true);
    EXPECT_FALSE(model.TakeRestartRequest()) << "taken once";
    model.Restart(true);
    EXPECT_TRUE(model.InBootMode());
}

constexpr std::uint32_t kNow = 731513109;

SimOptions HistoryOptionsFor(HistoryShape shape, std::uint32_t records = 0, std::uint32_t seed = 1,
                             SlotZero slotZero = SlotZero::PageMarker) {
    SimOptions options;
    options.profile.slotZero = slotZero;
    options.deviceTime = kNow;
    options.history = {
        .shape = shape, .records = records, .seed = seed, .recordWhileRunning = false};
    return options;
}

struct Header {
    std::uint32_t pageSize, low20, pages, count, oldest, write;
};

Header HeaderOf(DeviceModel& model) {
    auto read = [&](std::uint16_t id) {
        const auto value = ParRead(model, id);
        EXPECT_TRUE(value) << id;
        return value.value_or(0);
    };
    const std::uint32_t c020 = read(0xC020), c021 = read(0xC021), c022 = read(0xC022);
    return {c020 >> 16, c020 & 0xFFFF, c021 >> 16, c021 & 0xFFFF, c022 >> 16, c022 & 0xFFFF};
}

// The reader's acceptance rule for a header.
bool Consistent(const Header& h) {
    const std::uint32_t oldestPage = h.oldest / 256, newestPage = h.write / 256;
    const std::uint32_t pagesRead = newestPage >= oldestPage
                                        ? newestPage - oldestPage + 1
                                        : h.pages - oldestPage + newestPage + 1;
    return h.count / 256 + 1 == pagesRead && h.pageSize == 4096 && h.low20 <= 1792 &&
           h.pages <= 255;
}

// Logical records in order, read back over EFL_READ in pairs as the reader does.
std::vector<SimHistoryRecord> ReadLogical(DeviceModel& model, const Header& h) {
    std::vector<SimHistoryRecord> records;
    for (std::uint32_t k = 0; k < h.count; ++k) {
        std::uint32_t index = h.oldest + k;
        if (index >= HistoryRing::kIndexCount) {
            index -= HistoryRing::kIndexCount;
        }
        const std::uint32_t address = HistoryRing::kBase + 16 * index;
        const auto answer = AskModel(model, 2, 0x02, Concat({Le32(address), {16}}));
        EXPECT_TRUE(answer && answer->size() == 21);
        if (!answer || answer->size() != 21) {
            break;
        }
        records.push_back(SimHistoryRecord::Decode(answer->data() + 5));
    }
    return records;
}

void ExpectRealisticSequence(const std::vector<SimHistoryRecord>& records, const Header& h,
                             std::uint32_t newestEnd = kNow,
                             SlotZero slotZero = SlotZero::PageMarker) {
    std::uint32_t previousStart = 0;
    std::size_t measurements = 0, raised = 0;
    for (std::size_t k = 0; k < records.size(); ++k) {
        const auto& r = records[k];
        const std::uint32_t slot = (h.oldest + k) % HistoryRing::kIndexCount % 256;
        ASSERT_GE(r.start, previousStart) << "logical record " << k;
        previousStart = r.start;
        if (slot == 0 && slotZero == SlotZero::PageMarker) {
            EXPECT_NE(r.validity, 0) << "page marker at " << k << " must not count";
            continue;
        }
        ASSERT_TRUE(r.state == 0xFE || r.state == 0xFC) << "record " << k;
        EXPECT_EQ(r.validity, 0);
        EXPECT_EQ(r.length, 60);
        EXPECT_LT(r.pulses, 5000u);
        ++measurements;
        raised += r.state == 0xFC;
    }
    if (measurements > 0) {
        EXPECT_EQ(records.back().start + records.back().length, newestEnd) << "newest ends now";
    }
    if (measurements > 10000) {
        EXPECT_GT(raised, 0u) << "an occasional peak";
        EXPECT_LT(raised * 10, measurements);
    }
}

TEST(HistoryRing, EmptyRingAnnouncesNothingAndLeavesPageZeroErased) {
    FakeClock clock;
    DeviceModel model(HistoryOptionsFor(HistoryShape::Empty), clock.AsClock());
    const Header h = HeaderOf(model);
    EXPECT_EQ(h.count, 0u);
    EXPECT_EQ(h.oldest, 0u);
    EXPECT_EQ(h.write, 0u);
    EXPECT_EQ(h.pages, 255u);
    EXPECT_TRUE(Consistent(h));
    EXPECT_TRUE(model.ExternalFlash().IsErased(HistoryRing::kBase, 4096));
}

TEST(HistoryRing, TwoPagesHoldMarkersAndOrderedRecords) {
    FakeClock clock;
    DeviceModel model(HistoryOptionsFor(HistoryShape::Partial, 290), clock.AsClock());
    const Header h = HeaderOf(model);
    EXPECT_EQ(h.oldest, 0u);
    EXPECT_EQ(h.write, 0x124u);  // 2 markers + 290 records
    EXPECT_EQ(h.count, 0x124u);
    EXPECT_TRUE(Consistent(h));
    const auto records = ReadLogical(model, h);
    ExpectRealisticSequence(records, h);
    EXPECT_EQ(records[0].state, HistoryRing::kMarkerState);
    EXPECT_EQ(records[256].state, HistoryRing::kMarkerState);
    EXPECT_TRUE(model.ExternalFlash().IsErased(HistoryRing::AddressOf(0x124), 16));
}

TEST(HistoryRing, TwoPagesWithAMeasurementInSlotZeroHoldOnlyRecords) {
    FakeClock clock;
    DeviceModel model(HistoryOptionsFor(HistoryShape::Partial, 290, 1, SlotZero::Measurement),
                      clock.AsClock());
    const Header h = HeaderOf(model);
    EXPECT_EQ(h.oldest, 0u);
    EXPECT_EQ(h.write, 290u);
    EXPECT_EQ(h.count, 290u);
    EXPECT_TRUE(Consistent(h));
    const auto records = ReadLogical(model, h);
    ExpectRealisticSequence(records, h, kNow, SlotZero::Measurement);
    EXPECT_EQ(records[256].validity, 0);
    EXPECT_EQ(records[256].start, records[255].start + 60);
}

class HistoryRingOfBothKinds : public ::testing::TestWithParam<SlotZero> {};

INSTANTIATE_TEST_SUITE_P(SlotZero, HistoryRingOfBothKinds,
                         ::testing::Values(SlotZero::PageMarker, SlotZero::Measurement));

TEST_P(HistoryRingOfBothKinds, WrappedRingGivesUpItsOldestPagesAndStaysConsistent) {
    FakeClock clock;
    DeviceModel model(HistoryOptionsFor(HistoryShape::Wrapped, 0, 1, GetParam()), clock.AsClock());
    const Header h = HeaderOf(model);
    EXPECT_GT(h.oldest, h.write);
    EXPECT_EQ(h.oldest, 11u * 256);
    EXPECT_EQ(h.write / 256, 10u);
    EXPECT_TRUE(Consistent(h));
    EXPECT_EQ(h.count, (h.write + HistoryRing::kIndexCount - h.oldest) % HistoryRing::kIndexCount);
    EXPECT_EQ(model.History().ParameterC023(), 1u);
    ExpectRealisticSequence(ReadLogical(model, h), h, kNow, GetParam());
}

TEST_P(HistoryRingOfBothKinds, FullRingUsesEveryPage) {
    FakeClock clock;
    DeviceModel model(HistoryOptionsFor(HistoryShape::Full, 0, 1, GetParam()), clock.AsClock());
    const Header h = HeaderOf(model);
    EXPECT_EQ(h.count, HistoryRing::kIndexCount - 1);
    EXPECT_TRUE(Consistent(h));
    ExpectRealisticSequence(ReadLogical(model, h), h, kNow, GetParam());
}

// Also when the write position rests on slot 0, the page it points at is
// erased: the reading finds no stale record there.
TEST_P(HistoryRingOfBothKinds, EveryRecordCountAroundTheWrapKeepsTheHeaderConsistent) {
    FlashMemory flash(0, 8 * 1024 * 1024, 4096);
    HistoryRing ring(flash, GetParam());
    SimHistoryRecord record;
    record.length = 60;
    const std::uint32_t full = ring.FullRecords();
    for (std::uint32_t i = 0; i < full + 600; ++i) {
        record.start = 60 * i;
        ASSERT_TRUE(ring.Append(record));
        if (i < 600 || i > full - 300) {
            const Header h{4096, 0x100, 255, ring.Count(), ring.Oldest(), ring.WritePosition()};
            ASSERT_TRUE(Consistent(h)) << "after record " << i;
            const std::uint32_t slot = ring.WritePosition() % 256;
            if (GetParam() == SlotZero::PageMarker) {
                ASSERT_NE(slot, 0u);
            }
            ASSERT_TRUE(
                flash.IsErased(HistoryRing::AddressOf(ring.WritePosition()), 16 * (256 - slot)))
                << "after record " << i;
        }
    }
}

TEST(HistoryRing, SameSeedSameHistoryOtherSeedOtherHistory) {
    FakeClock clock;
    DeviceModel a(HistoryOptionsFor(HistoryShape::Partial, 500, 7), clock.AsClock());
    DeviceModel b(HistoryOptionsFor(HistoryShape::Partial, 500, 7), clock.AsClock());
    DeviceModel c(HistoryOptionsFor(HistoryShape::Partial, 500, 8), clock.AsClock());
    const auto bytesA = a.ExternalFlash().Read(HistoryRing::kBase, 3 * 4096);
    EXPECT_EQ(bytesA, b.ExternalFlash().Read(HistoryRing::kBase, 3 * 4096));
    EXPECT_NE(bytesA, c.ExternalFlash().Read(HistoryRing::kBase, 3 * 4096));
}

TEST(HistoryRing, RunningDeviceRecordsEveryPeriodExceptDuringAnAccess) {
    FakeClock clock;
    SimOptions options = HistoryOptionsFor(HistoryShape::Partial, 10);
    options.history.recordWhileRunning = true;
    DeviceModel model(options, clock.AsClock());
    auto writeCommand = [&](std::uint32_t word) { return ParWrite(model, 0xFF00, word); };

    clock.AdvanceSeconds(10 * 60 + 30);
    EXPECT_EQ(HeaderOf(model).count, 1u + 20);

    writeCommand(0xC0BA0010);
    clock.AdvanceSeconds(5 * 60);
    EXPECT_EQ(HeaderOf(model).count, 21u) << "no records while the history is read";
    writeCommand(0xC0BA0011);
    EXPECT_EQ(HeaderOf(model).count, 26u) << "caught up afterwards";
    ExpectRealisticSequence(ReadLogical(model, HeaderOf(model)), HeaderOf(model), kNow + 15 * 60);
}

TEST(HistoryRing, DeleteWorksOnlyInsideAnAccess) {
    FakeClock clock;
    DeviceModel model(HistoryOptionsFor(HistoryShape::Partial, 600), clock.AsClock());
    auto writeCommand = [&](std::uint32_t word) { return ParWrite(model, 0xFF00, word); };
    EXPECT_EQ(writeCommand(0xC0BA0012), 0u) << "refused outside an access";
    EXPECT_EQ(HeaderOf(model).count, 603u);

    EXPECT_EQ(writeCommand(0xC0BA0010), 0xC0BA0010u);
    EXPECT_TRUE(model.HistoryAccessOpen());
    EXPECT_EQ(writeCommand(0xC0BA0012), 0xC0BA0012u);
    EXPECT_EQ(writeCommand(0xC0BA0011), 0xC0BA0011u);
    EXPECT_FALSE(model.HistoryAccessOpen());
    const Header h = HeaderOf(model);
    EXPECT_EQ(h.count + h.oldest + h.write, 0u);
    EXPECT_TRUE(model.ExternalFlash().IsErased(HistoryRing::kBase, 3 * 4096));
}

}  // namespace
