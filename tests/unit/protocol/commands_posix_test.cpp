#include "protocol/commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>

#include "unit/protocol/link_fixture.h"

namespace {

using link_testing::Bytes;
using testing_pty::AnswerPacket;
using testing_pty::Frame;

std::uint32_t Le32(const Bytes& bytes, std::size_t offset) {
    return ReadLe32(bytes.data() + offset);
}

// A device that answers SOFT_INFO, MEM_READ and BOARD_INFO from its fields;
// any other command is answered by `other`, or echoed.
class CommandsTest : public link_testing::LinkFixture {
  protected:
    static constexpr std::uint32_t kCpuInfoAddress = 0x08001000;

    CommandsTest() {
        SetSoftInfo(0x0401, 0x0105);
        SetCpuType(9);
        Answer([this](const Bytes& request) { return Respond(request); });
    }

    void SetSoftInfo(std::uint16_t boot, std::uint16_t main) {
        softInfo = Bytes(8);
        WriteLe16(softInfo.data(), boot);
        WriteLe16(softInfo.data() + 2, main);
        WriteLe32(softInfo.data() + 4, kCpuInfoAddress);
    }
    void SetCpuType(std::uint16_t type, std::uint32_t inf1 = 0x08002000) {
        Bytes info(48, 0);
        WriteLe16(info.data(), type);
        WriteLe32(info.data() + 10, inf1);
        WriteLe32(info.data() + 14, 0x08004000);
        for (std::size_t i = 0; i < info.size(); ++i) {
            memory[kCpuInfoAddress + i] = info[i];
        }
    }

    Bytes Respond(const Bytes& request) {
        const std::uint8_t group = request[4];
        const std::uint8_t code = request[5];
        const Bytes data(request.begin() + 6, request.end());
        if (other) {
            const Bytes answer = other(group, code, data);
            if (answer != Bytes{0xFF, 0xFF}) {
                return answer.empty() && silentWhenEmpty ? Bytes{} : Reply(request, answer);
            }
        }
        if (group == 0x01 && code == 0x01) {
            return Reply(request, softInfo);
        }
        if (group == 0x01 && code == 0x0A) {
            return Reply(request, boardInfo);
        }
        if (group == 0x01 && code == 0x02) {
            Bytes answer(data.begin(), data.begin() + 5);
            for (std::uint32_t i = 0; i < data[4]; ++i) {
                const std::uint32_t address = Le32(data, 0) + i;
                const auto found = memory.find(address);
                answer.push_back(found != memory.end() ? found->second
                                                       : static_cast<std::uint8_t>(address));
            }
            return Reply(request, answer);
        }
        return Reply(request, data);
    }
    static Bytes Reply(const Bytes& request, const Bytes& data) {
        return Frame(AnswerPacket(request, data));
    }

    // The (group, code) pairs of the requests seen so far.
    std::vector<std::pair<int, int>> Codes() const {
        std::vector<std::pair<int, int>> codes;
        for (const Bytes& payload : Payloads()) {
            codes.emplace_back(payload[0], payload[1]);
        }
        return codes;
    }

    // Answer data for (group, code, request data); {0xFF, 0xFF} lets the device answer.
    std::function<Bytes(int, int, const Bytes&)> other;
    bool silentWhenEmpty = false;
    Bytes softInfo;
    Bytes boardInfo{0x36, 0x01, 41, 0};  // board 310, revision 41
    std::map<std::uint32_t, std::uint8_t> memory;
};

const Bytes kDefer{0xFF, 0xFF};

TEST_F(CommandsTest, TestAcceptsTheEchoWithAtMostOneExtraByte) {
    const std::string echo = "Ferandol";
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(echo.data());
    std::size_t extra = 0;
    bool corrupt = false;
    other = [&](int, int code, const Bytes& data) {
        if (code != 0x00) {
            return kDefer;
        }
        Bytes answer = data;
        answer.resize(data.size() + extra, 0x77);
        if (corrupt) {
            answer[3] ^= 0x20;
        }
        return answer;
    };
    EXPECT_EQ(Commands().Test(bytes, 8, false), 1);
    extra = 1;
    EXPECT_EQ(Commands().Test(bytes, 8, false), 1);
    extra = 2;
    EXPECT_EQ(Commands().Test(bytes, 8, false), 0);
    extra = 0;
    corrupt = true;
    EXPECT_EQ(Commands().Test(bytes, 8, false), 0);
    corrupt = false;
    other = [](int, int, const Bytes& data) { return Bytes(data.begin(), data.end() - 1); };
    EXPECT_EQ(Commands().Test(bytes, 8, false), 0);
    EXPECT_EQ(Payloads()[0], (Bytes{0x01, 0x00, 'F', 'e', 'r', 'a', 'n', 'd', 'o', 'l'}));

    const std::size_t sent = peer_.requests.size();
    EXPECT_EQ(Commands().Test(bytes, 0, false), -1);
    EXPECT_EQ(Commands().Test(nullptr, 8, false), -1);
    EXPECT_EQ(peer_.requests.size(), sent);
    EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(CommandsTest, TestSendsAtMostSixteenBytesAndNeedsAnOpenPort) {
    Bytes echo(20);
    for (std::size_t i = 0; i < echo.size(); ++i) {
        echo[i] = static_cast<std::uint8_t>('a' + i);
    }
    EXPECT_EQ(Commands().Test(echo.data(), 20, false), 1);
    EXPECT_EQ(Payloads()[0].size(), 2u + 16u);
    stack_->Close();
    EXPECT_EQ(Commands().Test(echo.data(), 20, true), -2);
    EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(CommandsTest, MemReadSplitsIntoPiecesOfSixteen) {
    for (std::uint32_t i = 0; i < 64; ++i) {
        memory[0x20000000 + i] = static_cast<std::uint8_t>(0x80 + i);
    }
    struct Case {
        int length;
        std::vector<std::pair<std::uint32_t, int>> requests;
    };
    const Case cases[] = {{48, {{0x20000000, 16}, {0x20000010, 16}, {0x20000020, 16}}},
                          {12, {{0x20000000, 12}}},
                          {20, {{0x20000000, 16}, {0x20000010, 4}}}};
    for (const Case& c : cases) {
        peer_.requests.clear();
        Bytes destination(64, 0);
        EXPECT_EQ(Commands().MemRead(0x20000000, destination.data(), c.length, false), c.length);
        std::vector<std::pair<std::uint32_t, int>> seen;
        for (const Bytes& payload : Payloads()) {
            EXPECT_EQ(payload.size(), 7u);
            seen.emplace_back(Le32(payload, 2), payload[6]);
        }
        EXPECT_EQ(seen, c.requests) << c.length;
        for (int i = 0; i < c.length; ++i) {
            EXPECT_EQ(destination[i], 0x80 + i);
        }
        EXPECT_EQ(destination[c.length], 0);
    }
}

TEST_F(CommandsTest, BlockReadsRefuseWrongAddressesAndOverlongAnswers) {
    Bytes destination(16, 0);
    std::function<Bytes(const Bytes&)> shape;
    other = [&](int, int code, const Bytes& data) { return code == 0x02 ? shape(data) : kDefer; };

    shape = [](const Bytes& data) {
        Bytes answer(data.begin(), data.begin() + 5);
        answer[0] ^= 0x10;
        answer.resize(5 + data[4], 0x11);
        return answer;
    };
    EXPECT_EQ(Commands().MemRead(0x100, destination.data(), 16, false), -1);
    EXPECT_EQ(Commands().EflRead(0x100, destination.data(), 16, false), -1);

    shape = [](const Bytes& data) {  // more data than asked for
        Bytes answer(data.begin(), data.begin() + 5);
        answer.resize(5 + data[4] + 1, 0x22);
        return answer;
    };
    EXPECT_EQ(Commands().EflRead(0x100, destination.data(), 8, false), -1);
    EXPECT_EQ(destination[0], 0);

    shape = [](const Bytes& data) { return Bytes(data.begin(), data.begin() + 4); };
    EXPECT_EQ(Commands().EflRead(0x100, destination.data(), 8, false), -1);

    EXPECT_EQ(Commands().EflRead(0x100, nullptr, 8, false), -1);

    // A read that fails part-way fails as a whole.
    int answered = 0;
    shape = [&](const Bytes& data) {
        Bytes answer(data.begin(), data.begin() + 5);
        answer.resize(5 + data[4], 0x33);
        if (++answered == 2) {
            answer[1] ^= 0x01;
        }
        return answer;
    };
    Bytes big(48);
    EXPECT_EQ(Commands().MemRead(0x100, big.data(), 48, true), -1);
    EXPECT_TRUE(dialogs_.errors.empty());  // answered, so nothing to report
}

// A device may carry fewer bytes in one answer than asked for: the read goes
// on from where that answer ended, and only answers without any data, three in
// a row, end it.
TEST_F(CommandsTest, ShortBlockReadsReadOnFromWhereTheAnswerEnded) {
    std::vector<int> carried;  // per answer, the data bytes it carries at most; then all
    other = [&](int, int code, const Bytes& data) {
        if (code != 0x02) {
            return kDefer;
        }
        int most = data[4];
        if (!carried.empty()) {
            most = std::min(most, carried.front());
            carried.erase(carried.begin());
        }
        Bytes answer(data.begin(), data.begin() + 5);
        for (int i = 0; i < most; ++i) {
            answer.push_back(static_cast<std::uint8_t>(Le32(data, 0) + i));
        }
        return answer;
    };
    using Request = std::pair<std::uint32_t, int>;  // offset from 0x100, length
    struct Row {
        bool flash;
        int length;
        std::vector<int> carried;
        int result;
        std::vector<Request> requests;
    };
    const Row rows[] = {
        {true, 32, {12, 12}, 32, {{0, 32}, {12, 20}, {24, 8}}},
        {true, 32, {0, 20}, 32, {{0, 32}, {0, 32}, {20, 12}}},
        {true, 32, {0, 0, 0}, -1, {{0, 32}, {0, 32}, {0, 32}}},
        {true, 32, {5, 0, 0, 0}, -1, {{0, 32}, {5, 27}, {5, 27}, {5, 27}}},
        {false, 20, {10}, 20, {{0, 16}, {10, 6}, {16, 4}}},
        {false, 16, {0, 0, 0}, -1, {{0, 16}, {0, 16}, {0, 16}}},
    };
    for (const Row& row : rows) {
        peer_.requests.clear();
        carried = row.carried;
        Bytes destination(32, 0);
        const int result = row.flash
                               ? Commands().EflRead(0x100, destination.data(), row.length, true)
                               : Commands().MemRead(0x100, destination.data(), row.length, true);
        EXPECT_EQ(result, row.result) << row.length << " carrying " << row.carried.front();
        std::vector<Request> seen;
        for (const Bytes& payload : Payloads()) {
            seen.emplace_back(Le32(payload, 2) - 0x100, payload[6]);
        }
        EXPECT_EQ(seen, row.requests) << row.length << " carrying " << row.carried.front();
        for (int i = 0; result > 0 && i < row.length; ++i) {
            EXPECT_EQ(destination[i], static_cast<std::uint8_t>(0x100 + i)) << i;
        }
    }
    EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(CommandsTest, BlockWritesCheckTheEchoAndRefuseMoreThan128Bytes) {
    Bytes data(129, 0x5A);
    EXPECT_FALSE(Commands().EflWrite(0x1000, data.data(), 129, true));
    EXPECT_FALSE(Commands().CpuWrite(0x1000, data.data(), 129, true));
    EXPECT_TRUE(peer_.requests.empty());

    other = [](int, int, const Bytes& request) {
        return Bytes(request.begin(), request.begin() + 5);
    };
    EXPECT_TRUE(Commands().EflWrite(0x1000, data.data(), 128, true));
    ASSERT_EQ(Payloads().size(), 1u);
    EXPECT_EQ(Payloads()[0].size(), 7u + 128u);
    EXPECT_EQ(Payloads()[0][0], 0x02);
    EXPECT_EQ(Payloads()[0][6], 128);

    other = [](int, int, const Bytes& request) {
        Bytes answer(request.begin(), request.begin() + 5);
        answer[4] ^= 0x01;
        return answer;
    };
    EXPECT_FALSE(Commands().EflWrite(0x1000, data.data(), 16, true));
    other = [](int, int, const Bytes& request) {
        return Bytes(request.begin(), request.begin() + 6);
    };
    EXPECT_FALSE(Commands().CpuWrite(0x1000, data.data(), 16, true));
}

TEST_F(CommandsTest, CpuFlashCodesFollowTheBootLoader) {
    const std::uint8_t data[4] = {1, 2, 3, 4};
    other = [](int group, int, const Bytes& request) {
        if (group != 0x03) {
            return kDefer;
        }
        return request.size() > 5 ? Bytes(request.begin(), request.begin() + 5) : Bytes{};
    };
    auto codes = [&](std::uint16_t boot, std::uint16_t main) {
        SetSoftInfo(boot, main);
        Commands().ReadSoftInfo(nullptr, false);
        peer_.requests.clear();
        Commands().CpuWrite(0x08004000, data, 4, false);
        Commands().CpuErase(0x08004000, false);
        return std::vector<int>{Payloads()[0][1], Payloads()[1][1]};
    };
    EXPECT_EQ(codes(0x0200, 0x0101), (std::vector<int>{0x06, 0x07}));
    EXPECT_EQ(codes(0x0501, 0x0101), (std::vector<int>{0x03, 0x05}));
    EXPECT_EQ(codes(0x01FF, 0x0101), (std::vector<int>{0x03, 0x05}));
    EXPECT_EQ(codes(0x0401, 0x0000), (std::vector<int>{0x03, 0x05}));
    Commands().ForgetDeviceData();
    EXPECT_FALSE(Commands().UsesNewCpuCodes());
}

TEST_F(CommandsTest, ParameterReadsTakeSixOrTwentyTwoBytes) {
    Bytes answer;
    other = [&](int, int code, const Bytes&) { return code == 0x0E ? answer : kDefer; };
    ParamRecord record;
    record.id = 0xC001;
    record.value = 0xDEAD;
    record.further.fill(0x99);

    answer = {0x01, 0xC0, 0x78, 0x56, 0x34, 0x12};
    EXPECT_TRUE(Commands().ParRead(record, false));
    EXPECT_EQ(record.value, 0x12345678u);
    EXPECT_EQ(record.further[0], 0);
    EXPECT_EQ(Payloads()[0], (Bytes{0x01, 0x0E, 0x01, 0xC0}));

    answer.resize(22);
    answer[21] = 0x4D;
    EXPECT_TRUE(Commands().ParRead(record, false));
    EXPECT_EQ(record.further[15], 0x4D);

    answer.resize(10);
    EXPECT_FALSE(Commands().ParRead(record, false));
    EXPECT_EQ(record.value, 0u);
}

TEST_F(CommandsTest, ParameterWriteKeepsTheValueTheDeviceAnswered) {
    other = [](int, int code, const Bytes& data) {
        return code == 0x0F ? Bytes{data[0], data[1], 0x05, 0x00, 0x00, 0x00} : kDefer;
    };
    ParamRecord record;
    record.id = 0x0021;
    record.value = 7;
    EXPECT_TRUE(Commands().ParWrite(record));
    EXPECT_EQ(record.value, 5u);
    EXPECT_EQ(Payloads()[0], (Bytes{0x01, 0x0F, 0x21, 0x00, 0x07, 0x00, 0x00, 0x00}));

    other = [](int, int, const Bytes&) { return Bytes{1, 2, 3}; };
    EXPECT_FALSE(Commands().ParWrite(record));
}

TEST_F(CommandsTest, LogsParameterAccessInItsOwnForm) {
    std::uint32_t reply = 0x20000100;
    other = [&](int, int code, const Bytes& data) {
        Bytes answer{data[0], data[1], 0, 0, 0, 0};
        WriteLe32(answer.data() + 2, code == 0x0E ? reply : Le32(data, 2));
        return answer;
    };
    std::uint32_t value = 0;
    EXPECT_TRUE(Commands().ReadParameter(0xC001, value));
    EXPECT_EQ(value, 0x20000100u);
    reply = 0xFFFFFFFE;
    EXPECT_TRUE(Commands().ReadParameter(9, value));
    EXPECT_TRUE(Commands().WriteParameter(0xFF00, 0xC0BA0021));

    other = [](int, int, const Bytes&) { return Bytes{}; };
    silentWhenEmpty = true;
    value = 77;
    EXPECT_FALSE(Commands().ReadParameter(0xC001, value));
    EXPECT_EQ(value, 0u);
    EXPECT_FALSE(Commands().WriteParameter(0xFF00, 0x12));
    EXPECT_EQ(log_.Lines(), (std::vector<std::string>{
                                "Open COM 1 : OK",
                                "Read PAR[0xC001(49153)] : 0x20000100(536871168)",
                                "Read PAR[0x0009(9)] : 0xFFFFFFFE(-2)",
                                "Write PAR[0xFF00(65280)] : 0xC0BA0021(-1061552095)",
                                "# ERROR: \"Read PAR[49153]\"",
                                "# ERROR: \"Write PAR[65280] : 0x0012(18)\"",
                            }));
    // Reads are silent; a failed write always shows its box.
    EXPECT_EQ(dialogs_.errors, std::vector<std::string>{"No answer - Parameter WRITE"});
}

TEST_F(CommandsTest, OldBootLoadersAreBoard405AndHaveNoClock) {
    SetSoftInfo(0x03FF, 0x0105);
    EXPECT_EQ(Commands().BoardCode(), 405);
    DeviceTimeRecord time;
    EXPECT_FALSE(Commands().TimeRead(time));
    EXPECT_FALSE(Commands().TimeWrite(time));
    EXPECT_EQ(Codes(), (std::vector<std::pair<int, int>>{{0x01, 0x01}}));
    ASSERT_TRUE(Commands().CachedBoardInfo().has_value());
    EXPECT_EQ(Commands().CachedBoardInfo()->revision, 0);
}

TEST_F(CommandsTest, ClockCommandsRunOnClockBoardsAndFailuresShowTheirBox) {
    Bytes timeAnswer{5, 4, 3, 2, 1, 26, 0};
    other = [&](int, int code, const Bytes&) { return code == 0x0C ? timeAnswer : kDefer; };
    DeviceTimeRecord time;
    EXPECT_TRUE(Commands().TimeRead(time));
    EXPECT_EQ(time.second, 5);
    EXPECT_EQ(time.year, 26);
    // SoftInfo, then CpuInfo in three pieces before BOARD_INFO, which is then cached.
    EXPECT_EQ(Codes(), (std::vector<std::pair<int, int>>{
                           {1, 1}, {1, 2}, {1, 2}, {1, 2}, {1, 0x0A}, {1, 0x0C}}));
    timeAnswer.push_back(9);
    EXPECT_TRUE(Commands().TimeRead(time));
    timeAnswer.resize(6);
    EXPECT_FALSE(Commands().TimeRead(time));

    time.hour = 23;
    EXPECT_TRUE(Commands().TimeWrite(time));
    EXPECT_EQ(Payloads().back(), (Bytes{0x01, 0x0B, 5, 4, 23, 2, 1, 26, 0}));

    // A read that goes unanswered always shows its box.
    dialogs_.errors.clear();
    silentWhenEmpty = true;
    timeAnswer.clear();
    EXPECT_FALSE(Commands().TimeRead(time));
    EXPECT_EQ(dialogs_.errors, std::vector<std::string>{"No answer - TIME READ"});

    boardInfo = {0x64, 0x00, 1, 0};  // board 100
    Commands().ForgetDeviceData();
    peer_.requests.clear();
    EXPECT_FALSE(Commands().TimeRead(time));
    EXPECT_NE(Codes().back(), std::make_pair(0x01, 0x0C));
}

TEST_F(CommandsTest, ScreenCommandsCutTheirTextsAndNeedAMainProgram) {
    EXPECT_TRUE(Commands().PcConnection("ABCDEFGHIJKLMNOPQRST", true));
    Bytes expected{0x01, 0x06, 'A', 'B', 'C', 'D', 'E', 'F', 'G',
                   'H',  'I',  'J', 'K', 'L', 'M', 0,   0};
    expected.pop_back();  // the field is 14 bytes: 13 characters and the zero
    EXPECT_EQ(Payloads().back(), expected);
    const std::string longText(130, 'x');
    EXPECT_TRUE(Commands().PcPrint(longText, true));
    EXPECT_EQ(Payloads().back().size(), 2u + 125u + 1u);
    EXPECT_EQ(Payloads().back().back(), 0);

    other = [](int, int code, const Bytes&) {
        return code == 0x06 || code == 0x07 ? Bytes{} : kDefer;
    };
    silentWhenEmpty = true;
    EXPECT_FALSE(Commands().PcConnection("Hi", true));
    EXPECT_FALSE(Commands().PcPrint("Hello", true));
    EXPECT_FALSE(Commands().PcPrint("quiet", false));
    EXPECT_EQ(dialogs_.errors,
              (std::vector<std::string>{"No answer form Device : PC_CONNECTION [Hi]",
                                        "No answer from Device : PC_PRINT [Hello]"}));
}

TEST_F(CommandsTest, ScreenCommandsInBootMode) {
    SetSoftInfo(0x01FF, 0x0000);
    EXPECT_FALSE(Commands().PcPrint("boot", true));
    EXPECT_FALSE(Commands().PcConnection("boot", true));
    for (const auto& code : Codes()) {
        EXPECT_TRUE(code.second == 0x01 || code.second == 0x02);
    }
    // Newer boot loaders draw on the screen themselves.
    SetSoftInfo(0x0200, 0x0000);
    Commands().ReadSoftInfo(nullptr, false);
    EXPECT_TRUE(Commands().PcPrint("boot", true));
    EXPECT_FALSE(Commands().PcConnection("boot", true));
}

TEST_F(CommandsTest, SoftInfoNeedsExactlyEightBytesAndIsForgottenFirst) {
    SoftInfo info;
    EXPECT_TRUE(Commands().ReadSoftInfo(&info, false));
    EXPECT_EQ(info.bootVersion, 0x0401);
    EXPECT_EQ(info.cpuInfoAddress, kCpuInfoAddress);
    softInfo.pop_back();
    EXPECT_FALSE(Commands().ReadSoftInfo(&info, true));
    EXPECT_FALSE(Commands().CachedSoftInfo().has_value());
    BoardInfo board;
    EXPECT_FALSE(Commands().ReadBoardInfo(&board, false));
    EXPECT_EQ(board.boardCode, 0);
}

TEST_F(CommandsTest, ReadsTheUniqueIdAndInf1BlockWhereTheCpuKeepsThem) {
    for (std::uint32_t i = 0; i < 16; ++i) {
        memory[0x1FF80050 + i] = static_cast<std::uint8_t>(0xA0 + i);
        memory[0x080027F0 + i] = static_cast<std::uint8_t>(0xB0 + i);
    }
    EXPECT_TRUE(Commands().ReadUniqueId());
    EXPECT_EQ(Commands().CachedUniqueId()[11], 0xAB);

    SetCpuType(1, 0x08000000 + 10112);
    Commands().ForgetDeviceData();
    EXPECT_TRUE(Commands().ReadInf1Block());
    ASSERT_TRUE(Commands().CachedInf1Block().has_value());
    EXPECT_EQ((*Commands().CachedInf1Block())[0], 0xB0);
    EXPECT_EQ(Commands().CachedUniqueId()[0], 0xA0);  // kept when device data is forgotten

    other = [](int, int code, const Bytes& data) {
        return code == 0x02 && Le32(data, 0) >= 0x1F000000 ? Bytes{1, 2, 3} : kDefer;
    };
    EXPECT_FALSE(Commands().ReadUniqueId());
    EXPECT_EQ(Commands().CachedUniqueId(), UniqueId{});

    SetCpuType(9, 0);
    Commands().ForgetDeviceData();
    peer_.requests.clear();
    EXPECT_FALSE(Commands().ReadInf1Block());
    EXPECT_EQ(Codes().size(), 4u);  // SoftInfo and CpuInfo, no block request
}

TEST_F(CommandsTest, ResetNamesTheProgramToStart) {
    EXPECT_TRUE(Commands().Reset(true, false));
    EXPECT_TRUE(Commands().Reset(false, false));
    EXPECT_EQ(Payloads(), (std::vector<Bytes>{{0x01, 0x05, 0x03, 0x00, 0x00, 0x00, 0x0A},
                                              {0x01, 0x05, 0x02, 0x00, 0x00, 0x00, 0x0A}}));
}

TEST_F(CommandsTest, FailureTextsFollowTheMessageSwitch) {
    other = [](int, int, const Bytes&) { return Bytes{}; };
    silentWhenEmpty = true;
    EXPECT_FALSE(Commands().EflErase4k(0x1000, false));
    EXPECT_FALSE(Commands().EflErase4k(0x1000, true));
    EXPECT_EQ(Payloads().back(), (Bytes{0x02, 0x05, 0x00, 0x10, 0x00, 0x00}));
    const std::uint8_t echo[] = {1};
    EXPECT_EQ(Commands().Test(echo, 1, true), 0);
    EXPECT_EQ(dialogs_.errors, (std::vector<std::string>{"No Answer in Erasing EFLASH sector 4K",
                                                         "No answer in connection test"}));
}

TEST(DeviceRecords, ValuesThatFollowFromTheCpuType) {
    EXPECT_EQ(FlashPageSize(1), 1024u);
    EXPECT_EQ(FlashPageSize(3), 2048u);
    EXPECT_EQ(FlashPageSize(8), 256u);
    EXPECT_EQ(FlashPageSize(9), 128u);
    EXPECT_EQ(FlashPageSize(259), 128u);
    EXPECT_EQ(FlashPageSize(260), 0u);
    EXPECT_EQ(UniqueIdAddress(2, 0x0400), 0x1FFF7590u);
    EXPECT_EQ(UniqueIdAddress(2, 262), 0x1FFFF7E8u);
    EXPECT_EQ(UniqueIdAddress(257, 263), 0x4926u);
    EXPECT_EQ(UniqueIdAddress(10, 0x0400), 0u);
    EXPECT_FALSE(IsOtherCpu(1));
    EXPECT_FALSE(IsOtherCpu(8));
    EXPECT_TRUE(IsOtherCpu(9));
    EXPECT_TRUE(IsOtherCpu(0));
    CpuInfo info;
    WriteLe32(info.bytes.data() + 14, 0x08004000);
    EXPECT_EQ(MainProgramStart(info), 0u);
    WriteLe16(info.bytes.data(), 4);
    EXPECT_EQ(MainProgramStart(info), 0x08004000u);
    WriteLe32(info.bytes.data() + 10, 0x08000000 + 10112);
    EXPECT_EQ(Inf1BlockAddress(info), 0x08000000u + 10112);  // the quirk is type 1's only
}

}  // namespace
