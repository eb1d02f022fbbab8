#include "sim/device_model.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "sim/device_layout.h"
#include "sim/history_generator.h"
#include "sim/sim_calendar.h"

namespace {

using namespace device_layout;

constexpr std::uint8_t kAnswerBit = 0x40;
constexpr std::size_t kHeaderLength = 6;
// Largest block one write request carries.
constexpr std::uint32_t kMaxWriteBlock = 128;
// The parameter record beyond its id and value, and the byte after the time record.
constexpr std::size_t kParameterFurtherBytes = 16;
constexpr std::uint8_t kReservedByte = 0xFF;
// A clock set far ahead does not make the device write years of records.
constexpr std::uint32_t kMaxCatchUpRecords = 1000;

std::uint32_t Get32(const std::vector<std::uint8_t>& data, std::size_t at) {
    return static_cast<std::uint32_t>(data[at]) | static_cast<std::uint32_t>(data[at + 1]) << 8 |
           static_cast<std::uint32_t>(data[at + 2]) << 16 |
           static_cast<std::uint32_t>(data[at + 3]) << 24;
}

void Append16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Append32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

void Store32(std::vector<std::uint8_t>& ram, std::uint32_t address, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        ram[address - kRamBase + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

void StoreText(std::vector<std::uint8_t>& ram, std::uint32_t address, const std::string& text) {
    // Ten bytes, zero-terminated unless the text fills them all.
    std::uint8_t* field = &ram[address - kRamBase];
    std::memset(field, 0, 10);
    std::memcpy(field, text.data(), std::min<std::size_t>(text.size(), 10));
}

// Deterministic stand-in for code: anything but erased flash.
void FillWithCode(FlashMemory& flash, std::uint32_t address, std::uint32_t length,
                  std::uint32_t seed) {
    std::vector<std::uint8_t> bytes(length);
    std::uint32_t x = seed | 1;
    for (auto& byte : bytes) {
        x = x * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(x >> 24);
        if (byte == 0xFF) {
            byte = 0x00;
        }
    }
    flash.Fill(address, bytes.data(), length);
}

}  // namespace

SimClock SteadySimClock() {
    return [] {
        return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                              std::chrono::steady_clock::now().time_since_epoch())
                                              .count());
    };
}

DeviceModel::DeviceModel(const SimOptions& options, SimClock clock)
    : options_(ResolveDefaults(options)),
      layout_(LayoutOf(options_)),
      clock_(clock ? std::move(clock) : SteadySimClock()),
      background_(options_.history.seed),
      parameters_(options_.model),
      externalFlash_(0, kExternalFlashSize, kExternalSector),
      cpuFlash_(kCpuFlashBase, kCpuFlashSize,
                std::max<std::uint32_t>(CpuFlashPageSize(options_.cpuType), 128)),
      recordArea_(layout_.recordAreaBase, layout_.recordAreaSize, 256),
      history_(externalFlash_, options_.profile.slotZero),
      live_(background_),
      ram_(kRamSize, 0),
      uniqueId_(options_.uniqueId),
      uniqueIdAddress_(UniqueIdAddress(options_.cpuType, options_.bootVersion)),
      bootMode_(options_.startInBootMode),
      mainVersion_(options_.mainVersion) {
    clockBase_ = clock_();
    timeBase_ = options_.deviceTime ? *options_.deviceTime : sim_calendar::LocalNow();

    FillWithCode(cpuFlash_, kCpuFlashBase, layout_.mainProgramStart - kCpuFlashBase, 0xB007);
    FillWithCode(cpuFlash_, layout_.mainProgramStart, 0xE000, options_.mainVersion);
    // Each record lies in the CPU flash or in the records' own area.
    FlashMemory& records = layout_.recordAreaSize != 0 ? recordArea_ : cpuFlash_;
    const auto cpuInfo = BuildCpuInfo(options_);
    records.Fill(layout_.cpuInfoAddress, cpuInfo.data(), cpuInfo.size());
    const auto inf1 = BuildInf1Block(options_);
    records.Fill(layout_.inf1Address, inf1.data(), inf1.size());

    GenerateHistory(history_, options_.history, background_, timeBase_, Sensors(),
                    *parameters_.Get(DeviceParameters::kCalibration));
    recordedUpTo_ = timeBase_;
    live_.AdvanceTo(timeBase_);
    live_.RefreshDoseTexts(0);
    WriteLiveValuesToRam();
}

std::uint32_t DeviceModel::DeviceTime() const {
    return timeBase_ + static_cast<std::uint32_t>((clock_() - clockBase_) / 1000);
}

void DeviceModel::SetDeviceTime(std::uint32_t seconds) {
    timeBase_ = seconds;
    clockBase_ = clock_();
    Advance();
}

void DeviceModel::RecordHistoryUpTo(std::uint32_t now) {
    if (!options_.history.recordWhileRunning || historyAccess_ || bootMode_) {
        return;
    }
    const std::uint16_t period = options_.history.periodSeconds;
    if (recordedUpTo_ > now) {
        // The clock was set back: carry on from the new time.
        recordedUpTo_ = now;
    }
    if ((now - recordedUpTo_) / period > kMaxCatchUpRecords) {
        recordedUpTo_ = now - (now - recordedUpTo_) % period - kMaxCatchUpRecords * period;
    }
    const std::uint32_t k100 = *parameters_.Get(DeviceParameters::kCalibration);
    while (now - recordedUpTo_ >= period) {
        if (!history_.Append(
                MakeHistoryRecord(background_, recordedUpTo_, period, Sensors(), k100))) {
            return;
        }
        recordedUpTo_ += period;
    }
}

void DeviceModel::Advance() {
    const std::uint32_t now = DeviceTime();
    live_.AdvanceTo(now);
    RecordHistoryUpTo(now);
    WriteLiveValuesToRam();
}

void DeviceModel::WriteLiveValuesToRam() {
    const std::uint32_t units = *parameters_.Get(DeviceParameters::kUnits);
    Store32(ram_, kRateAddress, live_.RateWord(units));
    Store32(ram_, kCountAddress, live_.CountWord());
    Store32(ram_, kLevelBlockAddress, 0);
    ram_[kLevelBlockAddress - kRamBase + 2] = live_.Level();
    StoreText(ram_, kDoseTextAddress, live_.DoseText());
    StoreText(ram_, kDoseUnitAddress, live_.DoseUnitText());
}

std::vector<std::uint8_t> DeviceModel::ReadMemory(std::uint32_t address, std::uint32_t length) {
    std::vector<std::uint8_t> out(length, 0);
    for (std::uint32_t i = 0; i < length; ++i) {
        const std::uint32_t at = address + i;
        if (cpuFlash_.Contains(at, 1)) {
            cpuFlash_.Read(at, &out[i], 1);
        } else if (recordArea_.Contains(at, 1)) {
            recordArea_.Read(at, &out[i], 1);
        } else if (at >= kRamBase && at - kRamBase < kRamSize) {
            out[i] = ram_[at - kRamBase];
        } else if (at >= uniqueIdAddress_ && at - uniqueIdAddress_ < uniqueId_.size()) {
            out[i] = uniqueId_[at - uniqueIdAddress_];
        }
    }
    return out;
}

std::optional<bool> DeviceModel::TakeRestartRequest() {
    auto request = restartRequest_;
    restartRequest_.reset();
    return request;
}

void DeviceModel::Restart(bool bootLoader) {
    // Without a main program the boot loader stays in charge.
    const bool mainPresent = !cpuFlash_.IsErased(layout_.mainProgramStart, 4);
    bootMode_ = (bootLoader && !options_.bootLoaderUnreachable) || !mainPresent;
    historyAccess_ = false;
    connectionText_.clear();
    restartRequest_.reset();
}

std::optional<std::vector<std::uint8_t>> DeviceModel::Handle(
    const std::vector<std::uint8_t>& packet) {
    if (packet.size() < kHeaderLength) {
        return std::nullopt;
    }
    const int group = packet[4] & 0x3F;
    const int code = packet[5] & 0x3F;
    if (packet[4] & kAnswerBit) {
        return std::nullopt;
    }
    const Data data(packet.begin() + kHeaderLength, packet.end());
    Advance();
    Answer answer;
    switch (group) {
        case 1:
            answer = HandleMain(code, data);
            break;
        case 2:
            answer = bootMode_ ? std::nullopt : HandleExternalFlash(code, data);
            break;
        case 3:
            answer = HandleCpuFlash(code, data);
            break;
        default:
            break;
    }
    if (!answer) {
        return std::nullopt;
    }
    Data reply{
        0x00, static_cast<std::uint8_t>(packet[3] & 0x1F),   0x00,
        0x01, static_cast<std::uint8_t>(group | kAnswerBit), static_cast<std::uint8_t>(code)};
    reply.insert(reply.end(), answer->begin(), answer->end());
    return reply;
}

DeviceModel::Answer DeviceModel::HandleMain(int code, const Data& data) {
    // The boot loader knows only what identification and restarting need.
    const bool bootKnows = code == 0x00 || code == 0x01 || code == 0x02 || code == 0x05 ||
                           code == 0x07 || code == 0x0A;
    if (bootMode_ && !bootKnows) {
        return std::nullopt;
    }
    switch (code) {
        case 0x00:
            return Echo(data);
        case 0x01:
            return SoftInfo();
        case 0x02:
            return MemoryRead(data);
        case 0x05:
            return Reset(data);
        case 0x06:  // PC_CONNECTION
            connectionText_.assign(data.begin(), std::find(data.begin(), data.end(), 0));
            return Data{};
        case 0x07:  // PC_PRINT
            if (bootMode_ && options_.bootVersion <= 0x01FF) {
                return std::nullopt;
            }
            screens_.emplace_back(data.begin(), std::find(data.begin(), data.end(), 0));
            return Data{};
        case 0x0A: {  // BOARD_INFO, known from boot loader 4.0 on
            if (options_.bootVersion < 0x0400) {
                return std::nullopt;
            }
            Data info;
            Append16(info, BoardCode());
            info.push_back(static_cast<std::uint8_t>(options_.hardwareRevision));
            info.push_back(static_cast<std::uint8_t>(options_.variant));
            return info;
        }
        case 0x0B:
            return TimeWrite(data);
        case 0x0C:
            return TimeRead();
        case 0x0E:
            return ParameterRead(data);
        case 0x0F:
            return ParameterWrite(data);
        default:
            return std::nullopt;
    }
}

DeviceModel::Answer DeviceModel::SoftInfo() const {
    Data info;
    Append16(info, options_.bootVersion);
    Append16(info, ReportedMainVersion());
    Append32(info, layout_.cpuInfoAddress);
    return info;
}

DeviceModel::Answer DeviceModel::Echo(const Data& data) const {
    Data answer = data;
    if (options_.profile.echoWithExtraByte) {
        answer.push_back(kReservedByte);
    }
    return answer;
}

std::uint32_t DeviceModel::BlockLength(const Data& request) const {
    return std::min<std::uint32_t>(request[4], options_.profile.largestBlock);
}

DeviceModel::Answer DeviceModel::BlockAnswer(const Data& request, const Data& bytes) {
    // The length byte tells what the answer carries, which may be less than asked.
    Data answer(request.begin(), request.begin() + 5);
    answer[4] = static_cast<std::uint8_t>(bytes.size());
    answer.insert(answer.end(), bytes.begin(), bytes.end());
    return answer;
}

DeviceModel::Answer DeviceModel::MemoryRead(const Data& data) {
    if (data.size() < 5) {
        return std::nullopt;
    }
    return BlockAnswer(data, ReadMemory(Get32(data, 0), BlockLength(data)));
}

DeviceModel::Answer DeviceModel::Reset(const Data& data) {
    if (data.empty()) {
        return std::nullopt;
    }
    restartRequest_ = (data[0] & 0x01) != 0;
    return Data{};
}

DeviceModel::Answer DeviceModel::TimeRead() const {
    const std::uint32_t now = DeviceTime();
    const auto time = sim_calendar::FromSeconds(now);
    Data answer(time.begin(), time.end());
    // Day of the week, 1 January 2000 being a Saturday (6).
    answer.push_back(static_cast<std::uint8_t>((now / 86400 + 6) % 7));
    answer.resize(options_.profile.timeAnswerBytes, kReservedByte);
    return answer;
}

DeviceModel::Answer DeviceModel::TimeWrite(const Data& data) {
    if (data.size() < 6) {
        return std::nullopt;
    }
    sim_calendar::DateTime time;
    std::copy(data.begin(), data.begin() + 6, time.begin());
    std::uint32_t seconds = 0;
    if (!sim_calendar::ToSeconds(time, seconds)) {
        return std::nullopt;
    }
    SetDeviceTime(seconds);
    return Data{};
}

std::optional<std::uint32_t> DeviceModel::ReadOnlyParameter(std::uint16_t id) const {
    if (forcedHeader_ && id >= device_params::kHistoryC020 && id <= device_params::kHistoryC023) {
        return (*forcedHeader_)[id - device_params::kHistoryC020];
    }
    switch (id) {
        case device_params::kRateAddress:
            return device_layout::kRateAddress;
        case device_params::kLevelAddress:
            return device_layout::kLevelBlockAddress;
        case device_params::kCountAddress:
            return device_layout::kCountAddress;
        case device_params::kDoseTextAddress:
            return device_layout::kDoseTextAddress;
        case device_params::kDoseUnitAddress:
            return device_layout::kDoseUnitAddress;
        case device_params::kHistoryC020:
            return history_.ParameterC020();
        case device_params::kHistoryC021:
            return history_.ParameterC021();
        case device_params::kHistoryC022:
            return history_.ParameterC022();
        case device_params::kHistoryC023:
            return history_.ParameterC023();
        case device_params::kCommand:
            return 0;  // write-only
        default:
            return std::nullopt;
    }
}

DeviceModel::Answer DeviceModel::ParameterRead(const Data& data) {
    if (data.size() < 2) {
        return std::nullopt;
    }
    const auto id = static_cast<std::uint16_t>(data[0] | data[1] << 8);
    auto value = ReadOnlyParameter(id);
    if (!value) {
        value = parameters_.Get(id);
    }
    if (!value) {
        return std::nullopt;
    }
    Data answer;
    Append16(answer, id);
    Append32(answer, *value);
    if (options_.profile.parameterAnswerBytes > answer.size()) {
        answer.resize(answer.size() + kParameterFurtherBytes, kReservedByte);
    }
    return answer;
}

DeviceModel::Answer DeviceModel::ParameterWrite(const Data& data) {
    if (data.size() < 6) {
        return std::nullopt;
    }
    const auto id = static_cast<std::uint16_t>(data[0] | data[1] << 8);
    const std::uint32_t value = Get32(data, 2);
    std::optional<std::uint32_t> stored;
    if (id == device_params::kCommand) {
        stored = CommandWord(value);
    } else if (auto readOnly = ReadOnlyParameter(id)) {
        stored = readOnly;
    } else {
        stored = parameters_.Write(id, value);
        if (id == DeviceParameters::kUnits) {
            WriteLiveValuesToRam();
        }
    }
    if (!stored) {
        return std::nullopt;
    }
    Data answer;
    Append16(answer, id);
    Append32(answer, *stored);
    return answer;
}

std::uint32_t DeviceModel::CommandWord(std::uint32_t word) {
    using namespace device_params;
    commandWords_.push_back(word);
    const std::uint32_t units = *parameters_.Get(DeviceParameters::kUnits);
    switch (word) {
        case kHistoryBegin:
            historyAccess_ = true;
            return word;
        case kHistoryEnd:
            historyAccess_ = false;
            Advance();
            return word;
        case kHistoryDelete:
            // Only inside an access, so that a stray word cannot wipe the history.
            if (!historyAccess_) {
                return 0;
            }
            if (options_.history.ignoreDelete) {
                return word;
            }
            history_.Clear();
            recordedUpTo_ = DeviceTime();
            return word;
        case kDoseReset:
            live_.ResetDose();
            live_.RefreshDoseTexts(units);
            WriteLiveValuesToRam();
            return word;
        case kDoseRefresh:
            live_.RefreshDoseTexts(units);
            WriteLiveValuesToRam();
            return word;
        default:
            return 0;
    }
}

DeviceModel::Answer DeviceModel::HandleExternalFlash(int code, const Data& data) {
    switch (code) {
        case 0x02:
            return BlockRead(externalFlash_, data);
        case 0x03:
            return BlockWrite(externalFlash_, data, 0, kExternalFlashSize);
        case 0x05:
            return EraseAt(externalFlash_, data, 0, kExternalFlashSize);
        default:
            return std::nullopt;
    }
}

DeviceModel::Answer DeviceModel::HandleCpuFlash(int code, const Data& data) {
    // The boot loader's own pages, records included, are never given up.
    switch (code) {
        case 0x03:
        case 0x06: {
            auto answer =
                BlockWrite(cpuFlash_, data, layout_.mainProgramStart, layout_.mainProgramEnd);
            if (answer && answer->size() == 5 && (*answer)[4] != 0 &&
                options_.mainVersionAfterCpuWrite != 0) {
                mainVersion_ = options_.mainVersionAfterCpuWrite;
            }
            return answer;
        }
        case 0x05:
        case 0x07:
            return EraseAt(cpuFlash_, data, layout_.mainProgramStart, layout_.mainProgramEnd);
        default:
            return std::nullopt;
    }
}

DeviceModel::Answer DeviceModel::BlockRead(FlashMemory& flash, const Data& data) {
    if (data.size() < 5) {
        return std::nullopt;
    }
    return BlockAnswer(data, flash.Read(Get32(data, 0), BlockLength(data)));
}

DeviceModel::Answer DeviceModel::BlockWrite(FlashMemory& flash, const Data& data,
                                            std::uint32_t first, std::uint32_t end) {
    if (data.size() < 5) {
        return std::nullopt;
    }
    const std::uint32_t address = Get32(data, 0);
    const std::uint32_t length = data[4];
    Data answer(data.begin(), data.begin() + 5);
    // A refused write echoes a length of 0, which the requester sees as failure.
    const bool complete = data.size() == 5 + length && length <= kMaxWriteBlock && length > 0;
    const bool reached = address >= first && std::uint64_t{address} + length <= end;
    if (!complete || !reached || !flash.Write(address, data.data() + 5, length)) {
        answer[4] = 0;
    }
    return answer;
}

DeviceModel::Answer DeviceModel::EraseAt(FlashMemory& flash, const Data& data, std::uint32_t first,
                                         std::uint32_t end) {
    if (data.size() < 4) {
        return std::nullopt;
    }
    const std::uint32_t address = Get32(data, 0);
    // Any answer counts as done, so a refused erase is not answered.
    if (address < first || address >= end || !flash.EraseUnitAt(address)) {
        return std::nullopt;
    }
    return Data(data.begin(), data.begin() + 4);
}
