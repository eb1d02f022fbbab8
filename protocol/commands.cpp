#include "protocol/commands.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <vector>

#include "protocol/command_codes.h"

namespace {

using namespace command_codes;

constexpr const char* kTextTest = "No answer in connection test";
constexpr const char* kTextSoftInfo = "No answer in reading information about Programm";
constexpr const char* kTextMemRead = "No answer in Reading";
constexpr const char* kTextReset = "No answer - RESET";
constexpr const char* kTextPcConnection = "No answer form Device : PC_CONNECTION [";
constexpr const char* kTextPcPrint = "No answer from Device : PC_PRINT [";
constexpr const char* kTextBoardInfo = "No answer in reading Board Information";
constexpr const char* kTextTimeWrite = "No answer - TIME WRITE";
constexpr const char* kTextTimeRead = "No answer - TIME READ";
constexpr const char* kTextParRead = "No answer - Parameter READ";
constexpr const char* kTextParWrite = "No answer - Parameter WRITE";
constexpr const char* kTextEflRead = "No answer in reading EFLASH";
constexpr const char* kTextEflWrite = "No answer in EFLASH Write";
constexpr const char* kTextEflErase = "No Answer in Erasing EFLASH sector 4K";
constexpr const char* kTextCpuWrite = "No answer in Flash of CPU Writing";
constexpr const char* kTextCpuErase = "No answer in Erasing Sector of CPU Flash";

constexpr std::uint8_t kResetToBootLoader = 0x03;
constexpr std::uint8_t kResetToMainProgram = 0x02;
constexpr std::uint8_t kResetTail = 0x0A;

// Boot loaders below this version know no BOARD_INFO: such devices are board 405.
constexpr std::uint16_t kFirstBoardInfoBootLoader = 0x0400;
constexpr int kOldBoardCode = 405;
constexpr std::uint16_t kFirstNewCpuCodesBootLoader = 0x0200;
constexpr std::uint8_t kOldCpuCodesBootLoaderMajor = 0x05;
constexpr std::uint16_t kLastPrintlessBootLoader = 511;

constexpr std::size_t kAddressEchoSize = 5;  // addr (4) and len (1)
constexpr std::size_t kAddressSize = 4;
constexpr std::size_t kIdSize = 2;
constexpr std::size_t kConnectionField = 14;
constexpr std::size_t kMaxEflRead = 255;

std::string Hex4(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X", value);
    return text;
}

std::string Signed(std::uint32_t value) {
    return std::to_string(static_cast<std::int32_t>(value));
}

std::string ValueText(std::uint32_t value) {
    return "0x" + Hex4(value) + "(" + Signed(value) + ")";
}

}  // namespace

DeviceCommands::DeviceCommands(DeviceLink& link, AppLog* log) : link_(link), log_(log) {}

bool DeviceCommands::Exchange(LinkChannel* channel, const std::uint8_t* payload, std::size_t length,
                              const char* failureText, bool messages, std::size_t echo) {
    return link_.Transact(channel, payload, length, true, messages ? failureText : "", echo);
}

bool DeviceCommands::ExchangeText(LinkChannel* channel, const std::uint8_t* payload,
                                  std::size_t length, const std::string& failureText) {
    return link_.Transact(channel, payload, length, true, failureText);
}

int DeviceCommands::Test(const std::uint8_t* echo, int count, bool messages) {
    LinkChannel* channel = link_.Main();
    if (channel == nullptr || echo == nullptr || count <= 0) {
        return -1;
    }
    if (!link_.Port().IsOpen()) {
        return -2;
    }
    const std::size_t sent = std::min(static_cast<std::size_t>(count), kMaxTestEcho);
    std::array<std::uint8_t, 2 + kMaxTestEcho> payload{kGroupMain, kCodeTest};
    std::copy(echo, echo + sent, payload.begin() + 2);
    if (!Exchange(channel, payload.data(), 2 + sent, kTextTest, messages, sent)) {
        return 0;
    }
    const std::size_t answered = channel->AnswerDataLength();
    const bool echoed = (answered == sent || answered == sent + 1) &&
                        std::equal(echo, echo + sent, channel->AnswerData());
    return echoed ? 1 : 0;
}

bool DeviceCommands::ReadSoftInfo(SoftInfo* out, bool messages) {
    softInfo_.reset();
    LinkChannel* channel = link_.Main();
    const std::uint8_t payload[] = {kGroupMain, kCodeSoftInfo};
    if (channel == nullptr ||
        !Exchange(channel, payload, sizeof payload, kTextSoftInfo, messages) ||
        channel->AnswerDataLength() != SoftInfo::kSize) {
        return false;
    }
    softInfo_ = SoftInfo::FromBytes(channel->AnswerData());
    if (out != nullptr) {
        *out = *softInfo_;
    }
    return true;
}

int DeviceCommands::BlockRead(LinkChannel* channel, std::uint8_t group, std::uint8_t code,
                              std::uint32_t address, std::uint8_t* destination, int length,
                              const char* failureText, bool messages) {
    if (channel == nullptr || destination == nullptr || length < 0 ||
        static_cast<std::size_t>(length) > kMaxEflRead) {
        return -1;
    }
    std::uint8_t payload[2 + kAddressEchoSize] = {group, code};
    WriteLe32(payload + 2, address);
    payload[6] = static_cast<std::uint8_t>(length);
    if (!Exchange(channel, payload, sizeof payload, failureText, messages, kAddressSize)) {
        return -1;
    }
    const std::size_t answered = channel->AnswerDataLength();
    if (answered < kAddressEchoSize ||
        answered - kAddressEchoSize > static_cast<std::size_t>(length) ||
        ReadLe32(channel->AnswerData()) != address) {
        return -1;
    }
    const std::size_t data = answered - kAddressEchoSize;
    std::copy(channel->AnswerData() + kAddressEchoSize,
              channel->AnswerData() + kAddressEchoSize + data, destination);
    return static_cast<int>(data);
}

int DeviceCommands::WholeBlockRead(LinkChannel* channel, std::uint8_t group, std::uint8_t code,
                                   std::uint32_t address, std::uint8_t* destination, int length,
                                   const char* failureText, bool messages) {
    // A device may carry fewer bytes in one answer than asked for; the rest is
    // asked for from where that answer ended, so that no stale or erased byte
    // passes for data. An answer without data moves nothing: three of them in
    // a row end the read, as three unanswered sends would.
    int total = 0;
    int emptyAnswers = 0;
    do {
        const int read =
            BlockRead(channel, group, code, address + static_cast<std::uint32_t>(total),
                      destination + total, length - total, failureText, messages);
        if (read < 0) {
            return -1;
        }
        total += read;
        emptyAnswers = read == 0 ? emptyAnswers + 1 : 0;
    } while (total < length && emptyAnswers < DeviceLink::kSendsWithRetry);
    return total == length ? total : -1;
}

int DeviceCommands::MemRead(std::uint32_t address, std::uint8_t* destination, int length,
                            bool messages) {
    if (destination == nullptr || length < 0) {
        return -1;
    }
    int total = 0;
    while (total < length) {
        const int piece = std::min(length - total, static_cast<int>(kMemReadPiece));
        if (WholeBlockRead(link_.Main(), kGroupMain, kCodeMemRead,
                           address + static_cast<std::uint32_t>(total), destination + total, piece,
                           kTextMemRead, messages) < 0) {
            return -1;
        }
        total += piece;
    }
    return total;
}

int DeviceCommands::EflRead(std::uint32_t address, std::uint8_t* destination, int length,
                            bool messages) {
    return WholeBlockRead(link_.Efl(), kGroupEfl, kCodeEflRead, address, destination, length,
                          kTextEflRead, messages);
}

bool DeviceCommands::Reset(bool bootLoader, bool messages) {
    const std::uint8_t payload[] = {
        kGroupMain, kCodeReset, bootLoader ? kResetToBootLoader : kResetToMainProgram, 0x00, 0x00,
        0x00,       kResetTail};
    return Exchange(link_.Main(), payload, sizeof payload, kTextReset, messages);
}

bool DeviceCommands::PcConnection(const std::string& text, bool messages) {
    if (!EnsureCpuInfo(true) || !softInfo_ || softInfo_->BootMode() || link_.Main() == nullptr) {
        return false;
    }
    const std::string sent = text.substr(0, kMaxConnectionText);
    std::array<std::uint8_t, 2 + kConnectionField> payload{kGroupMain, kCodePcConnection};
    std::copy(sent.begin(), sent.end(), payload.begin() + 2);
    return ExchangeText(link_.Main(), payload.data(), payload.size(),
                        messages ? kTextPcConnection + sent + "]" : std::string());
}

bool DeviceCommands::PcPrint(const std::string& text, bool messages) {
    if (!EnsureCpuInfo(true) || !softInfo_ ||
        (softInfo_->BootMode() && softInfo_->bootVersion <= kLastPrintlessBootLoader) ||
        link_.Main() == nullptr) {
        return false;
    }
    const std::string sent = text.substr(0, kMaxPrintText);
    std::array<std::uint8_t, 2 + kMaxPrintText + 1> payload{kGroupMain, kCodePcPrint};
    std::copy(sent.begin(), sent.end(), payload.begin() + 2);
    return ExchangeText(link_.Main(), payload.data(), 2 + sent.size() + 1,
                        messages ? kTextPcPrint + sent + "]" : std::string());
}

bool DeviceCommands::ReadBoardInfo(BoardInfo* out, bool messages) {
    if (out != nullptr) {
        *out = BoardInfo{};
    }
    boardInfo_.reset();
    if (!EnsureCpuInfo(true) || !softInfo_ || softInfo_->bootVersion < kFirstBoardInfoBootLoader) {
        return false;
    }
    LinkChannel* channel = link_.Main();
    const std::uint8_t payload[] = {kGroupMain, kCodeBoardInfo};
    if (channel == nullptr ||
        !Exchange(channel, payload, sizeof payload, kTextBoardInfo, messages) ||
        channel->AnswerDataLength() != BoardInfo::kSize) {
        return false;
    }
    boardInfo_ = BoardInfo::FromBytes(channel->AnswerData());
    if (out != nullptr) {
        *out = *boardInfo_;
    }
    return true;
}

bool DeviceCommands::ClockBoard() {
    const int board = BoardCode();
    return board == 310 || board == 520 || board == 415 || board == 425;
}

bool DeviceCommands::TimeWrite(const DeviceTimeRecord& time) {
    if (!ClockBoard()) {
        return false;
    }
    std::array<std::uint8_t, 2 + DeviceTimeRecord::kSize> payload{kGroupMain, kCodeTimeWrite};
    const auto bytes = time.ToBytes();
    std::copy(bytes.begin(), bytes.end(), payload.begin() + 2);
    return Exchange(link_.Main(), payload.data(), payload.size(), kTextTimeWrite, true);
}

bool DeviceCommands::TimeRead(DeviceTimeRecord& time) {
    if (!ClockBoard()) {
        return false;
    }
    LinkChannel* channel = link_.Main();
    const std::uint8_t payload[] = {kGroupMain, kCodeTimeRead};
    if (!Exchange(channel, payload, sizeof payload, kTextTimeRead, true)) {
        return false;
    }
    const std::size_t answered = channel->AnswerDataLength();
    if (answered != DeviceTimeRecord::kSize && answered != DeviceTimeRecord::kSize + 1) {
        return false;
    }
    time = DeviceTimeRecord::FromBytes(channel->AnswerData());
    return true;
}

bool DeviceCommands::ParRead(ParamRecord& record, bool messages) {
    record.value = 0;
    record.further.fill(0);
    LinkChannel* channel = link_.Main();
    std::uint8_t payload[4] = {kGroupMain, kCodeParRead};
    WriteLe16(payload + 2, record.id);
    if (!Exchange(channel, payload, sizeof payload, kTextParRead, messages, kIdSize)) {
        return false;
    }
    const std::size_t answered = channel->AnswerDataLength();
    if (answered != ParamRecord::kShortSize && answered != ParamRecord::kFullSize) {
        return false;
    }
    record.Overwrite(channel->AnswerData(), answered);
    return true;
}

bool DeviceCommands::ParWrite(ParamRecord& record) {
    LinkChannel* channel = link_.Main();
    std::uint8_t payload[8] = {kGroupMain, kCodeParWrite};
    WriteLe16(payload + 2, record.id);
    WriteLe32(payload + 4, record.value);
    if (!Exchange(channel, payload, sizeof payload, kTextParWrite, true, kIdSize) ||
        channel->AnswerDataLength() != ParamRecord::kShortSize) {
        return false;
    }
    record.value = ReadLe32(channel->AnswerData() + 2);
    return true;
}

bool DeviceCommands::BlockWrite(LinkChannel* channel, std::uint8_t group, std::uint8_t code,
                                std::uint32_t address, const std::uint8_t* data, std::size_t length,
                                const char* failureText, bool messages) {
    if (channel == nullptr || data == nullptr || length > kMaxBlockWrite) {
        return false;
    }
    std::array<std::uint8_t, 2 + kAddressEchoSize + kMaxBlockWrite> payload{group, code};
    WriteLe32(payload.data() + 2, address);
    payload[6] = static_cast<std::uint8_t>(length);
    std::copy(data, data + length, payload.begin() + 2 + kAddressEchoSize);
    if (!Exchange(channel, payload.data(), 2 + kAddressEchoSize + length, failureText, messages,
                  kAddressSize)) {
        return false;
    }
    const std::uint8_t* answer = channel->AnswerData();
    return channel->AnswerDataLength() == kAddressEchoSize && ReadLe32(answer) == address &&
           answer[4] == length;
}

bool DeviceCommands::AddressCommand(LinkChannel* channel, std::uint8_t group, std::uint8_t code,
                                    std::uint32_t address, const char* failureText, bool messages) {
    std::uint8_t payload[6] = {group, code};
    WriteLe32(payload + 2, address);
    return Exchange(channel, payload, sizeof payload, failureText, messages);
}

bool DeviceCommands::EflWrite(std::uint32_t address, const std::uint8_t* data, std::size_t length,
                              bool messages) {
    return BlockWrite(link_.Efl(), kGroupEfl, kCodeEflWrite, address, data, length, kTextEflWrite,
                      messages);
}

bool DeviceCommands::EflErase4k(std::uint32_t address, bool messages) {
    return AddressCommand(link_.Efl(), kGroupEfl, kCodeEflErase4k, address, kTextEflErase,
                          messages);
}

bool DeviceCommands::UsesNewCpuCodes() const {
    return softInfo_ && !softInfo_->BootMode() &&
           softInfo_->bootVersion >= kFirstNewCpuCodesBootLoader &&
           (softInfo_->bootVersion >> 8) != kOldCpuCodesBootLoaderMajor;
}

bool DeviceCommands::CpuWrite(std::uint32_t address, const std::uint8_t* data, std::size_t length,
                              bool messages) {
    const std::uint8_t code = UsesNewCpuCodes() ? kCodeCpuWriteNew : kCodeCpuWriteOld;
    return BlockWrite(link_.Cpu(), kGroupCpu, code, address, data, length, kTextCpuWrite, messages);
}

bool DeviceCommands::CpuErase(std::uint32_t address, bool messages) {
    const std::uint8_t code = UsesNewCpuCodes() ? kCodeCpuEraseNew : kCodeCpuEraseOld;
    return AddressCommand(link_.Cpu(), kGroupCpu, code, address, kTextCpuErase, messages);
}

bool DeviceCommands::EnsureSoftInfo(bool messages) {
    return softInfo_.has_value() || ReadSoftInfo(nullptr, messages);
}

bool DeviceCommands::EnsureCpuInfo(bool messages) {
    return (cpuInfo_.has_value() && softInfo_.has_value()) || ReadCpuInfo(messages);
}

bool DeviceCommands::ReadCpuInfo(bool messages) {
    if (!EnsureSoftInfo(messages) || softInfo_->cpuInfoAddress == 0) {
        return false;
    }
    CpuInfo info;
    if (MemRead(softInfo_->cpuInfoAddress, info.bytes.data(), CpuInfo::kSize, messages) < 0) {
        return false;
    }
    cpuInfo_ = info;
    return true;
}

int DeviceCommands::BoardCode() {
    if (!EnsureSoftInfo(false)) {
        return 0;
    }
    if (softInfo_->bootVersion < kFirstBoardInfoBootLoader) {
        boardInfo_ = BoardInfo{kOldBoardCode, 0, 0};
        return kOldBoardCode;
    }
    if (!boardInfo_ && !ReadBoardInfo(nullptr, false)) {
        return 0;
    }
    return boardInfo_->boardCode;
}

bool DeviceCommands::ReadUniqueId() {
    if (!EnsureCpuInfo(true)) {
        uniqueId_.fill(0);
        return false;
    }
    const std::uint32_t address = UniqueIdAddress(cpuInfo_->Type(), softInfo_->bootVersion);
    if (MemRead(address, uniqueId_.data(), static_cast<int>(uniqueId_.size()), true) < 0) {
        uniqueId_.fill(0);
        return false;
    }
    return true;
}

bool DeviceCommands::ReadInf1Block() {
    inf1Block_.reset();
    if (!EnsureCpuInfo(true)) {
        return false;
    }
    const std::uint32_t address = Inf1BlockAddress(*cpuInfo_);
    Inf1Block block{};
    if (address == 0 || MemRead(address, block.data(), static_cast<int>(block.size()), true) < 0) {
        return false;
    }
    inf1Block_ = block;
    return true;
}

void DeviceCommands::ForgetDeviceData() {
    softInfo_.reset();
    cpuInfo_.reset();
    boardInfo_.reset();
    inf1Block_.reset();
}

void DeviceCommands::Log(const std::string& line) {
    if (log_ != nullptr) {
        log_->AddLine(line);
    }
}

void DeviceCommands::LogError(const std::string& line) {
    if (log_ != nullptr) {
        log_->LogError(line);
    }
}

bool DeviceCommands::ReadParameter(std::uint16_t id, std::uint32_t& value) {
    ParamRecord record;
    record.id = id;
    if (!ParRead(record, false)) {
        LogError("Read PAR[" + std::to_string(id) + "]");
        value = 0;
        return false;
    }
    value = record.value;
    Log("Read PAR[0x" + Hex4(id) + "(" + std::to_string(id) + ")] : " + ValueText(value));
    return true;
}

bool DeviceCommands::WriteParameter(std::uint16_t id, std::uint32_t value) {
    return LoggedWrite(id, value, false) == ParameterWrite::Stored;
}

ParameterWrite DeviceCommands::StoreParameter(std::uint16_t id, std::uint32_t value) {
    return LoggedWrite(id, value, true);
}

ParameterWrite DeviceCommands::LoggedWrite(std::uint16_t id, std::uint32_t value, bool mustHold) {
    ParamRecord record;
    record.id = id;
    record.value = value;
    const std::string failed = "Write PAR[" + std::to_string(id) + "] : " + ValueText(value);
    if (!ParWrite(record)) {
        LogError(failed);
        return ParameterWrite::Failed;
    }
    if (mustHold && record.value != value) {
        LogError(failed + " not taken, the device holds " + ValueText(record.value));
        return ParameterWrite::NotTaken;
    }
    Log("Write PAR[0x" + Hex4(id) + "(" + std::to_string(id) + ")] : " + ValueText(value));
    return ParameterWrite::Stored;
}
