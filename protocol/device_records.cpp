#include "protocol/device_records.h"

#include <algorithm>
#include <cstring>

std::uint16_t ReadLe16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::uint32_t ReadLe32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) |
           (static_cast<std::uint32_t>(bytes[3]) << 24);
}

void WriteLe16(std::uint8_t* bytes, std::uint16_t value) {
    bytes[0] = static_cast<std::uint8_t>(value);
    bytes[1] = static_cast<std::uint8_t>(value >> 8);
}

void WriteLe32(std::uint8_t* bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

SoftInfo SoftInfo::FromBytes(const std::uint8_t* bytes) {
    return {ReadLe16(bytes), ReadLe16(bytes + 2), ReadLe32(bytes + 4)};
}

std::uint16_t CpuInfo::Type() const {
    return ReadLe16(bytes.data());
}
std::uint32_t CpuInfo::StoredInf1Address() const {
    return ReadLe32(bytes.data() + 10);
}
std::uint32_t CpuInfo::StoredStartAddress() const {
    return ReadLe32(bytes.data() + 14);
}

BoardInfo BoardInfo::FromBytes(const std::uint8_t* bytes) {
    return {ReadLe16(bytes), bytes[2], bytes[3]};
}

void ParamRecord::Overwrite(const std::uint8_t* bytes, std::size_t length) {
    id = ReadLe16(bytes);
    value = ReadLe32(bytes + 2);
    if (length >= kFullSize) {
        std::copy(bytes + kShortSize, bytes + kFullSize, further.begin());
    }
}

DeviceTimeRecord DeviceTimeRecord::FromBytes(const std::uint8_t* bytes) {
    return {bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6]};
}

std::array<std::uint8_t, DeviceTimeRecord::kSize> DeviceTimeRecord::ToBytes() const {
    return {second, minute, hour, day, month, year, reserved};
}

namespace {
bool InRange(std::uint16_t value, std::uint16_t low, std::uint16_t high) {
    return value >= low && value <= high;
}
constexpr std::uint16_t kLastOldBootLoader = 262;
constexpr std::uint32_t kOldUniqueIdAddress = 0x1FFFF7E8;
// CPU type 1 stores a wrong Inf1Block address; the block really lies here.
constexpr std::uint32_t kType1StoredInf1 = 0x08000000 + 10112;
constexpr std::uint32_t kType1ActualInf1 = 0x080027F0;
}  // namespace

std::uint32_t FlashPageSize(std::uint16_t cpuType) {
    if (cpuType == 1) {
        return 1024;
    }
    if (InRange(cpuType, 2, 3)) {
        return 2048;
    }
    if (InRange(cpuType, 4, 8)) {
        return 256;
    }
    if (cpuType == 9 || InRange(cpuType, 257, 259)) {
        return 128;
    }
    return 0;
}

std::uint32_t UniqueIdAddress(std::uint16_t cpuType, std::uint16_t bootVersion) {
    if (bootVersion <= kLastOldBootLoader || cpuType == 1) {
        return kOldUniqueIdAddress;
    }
    if (InRange(cpuType, 2, 3)) {
        return 0x1FFF7590;
    }
    if (InRange(cpuType, 4, 9)) {
        return 0x1FF80050;
    }
    if (InRange(cpuType, 257, 259)) {
        return 0x4926;
    }
    return 0;
}

bool IsOtherCpu(std::uint16_t cpuType) {
    return !InRange(cpuType, 1, 8);
}

std::uint32_t Inf1BlockAddress(const CpuInfo& info) {
    const std::uint32_t stored = info.StoredInf1Address();
    return info.Type() == 1 && stored == kType1StoredInf1 ? kType1ActualInf1 : stored;
}

std::uint32_t MainProgramStart(const CpuInfo& info) {
    return info.Type() == 0 ? 0 : info.StoredStartAddress();
}
