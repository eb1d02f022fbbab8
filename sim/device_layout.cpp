#include "sim/device_layout.h"

#include <algorithm>

#include "sim/sim_models.h"

namespace device_layout {
namespace {

void Put32(std::uint8_t* out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

}  // namespace

std::uint32_t UniqueIdAddress(int cpuType, std::uint16_t bootVersion) {
    if (bootVersion <= 0x0106) {
        return 0x1FFFF7E8;
    }
    if (cpuType == 1) {
        return 0x1FFFF7E8;
    }
    if (cpuType == 2 || cpuType == 3) {
        return 0x1FFF7590;
    }
    if (cpuType >= 4 && cpuType <= 9) {
        return 0x1FF80050;
    }
    if (cpuType >= 257 && cpuType <= 259) {
        return 0x4926;
    }
    return 0;
}

std::uint32_t CpuFlashPageSize(int cpuType) {
    if (cpuType == 1) {
        return 1024;
    }
    if (cpuType == 2 || cpuType == 3) {
        return 2048;
    }
    if (cpuType >= 4 && cpuType <= 8) {
        return 256;
    }
    if (cpuType == 9 || (cpuType >= 257 && cpuType <= 259)) {
        return 128;
    }
    return 0;
}

Layout LayoutOf(const SimOptions& options) {
    switch (options.profile.records) {
        case RecordPlacement::BelowProgram:
            return {0x08002000, kCpuFlashEnd, 0x08000100, 0x08000180, 0, 0};
        case RecordPlacement::AboveProgram: {
            // The records' pages are the boot loader's, so no erase of the
            // main program's last page reaches them.
            const std::uint32_t reserved =
                std::max<std::uint32_t>(CpuFlashPageSize(options.cpuType), 0x200);
            const std::uint32_t records = kCpuFlashEnd - reserved;
            return {0x08004000, records, records, records + 0x100, 0, 0};
        }
        case RecordPlacement::OtherArea:
            return {0x08006000, kCpuFlashEnd, 0x08080100, 0x0808DB00, 0x08080000, 0x10000};
    }
    return {};
}

std::array<std::uint8_t, 48> BuildCpuInfo(const SimOptions& options) {
    std::array<std::uint8_t, 48> info{};
    info[0] = static_cast<std::uint8_t>(options.cpuType);
    info[1] = static_cast<std::uint8_t>(options.cpuType >> 8);
    info[2] = static_cast<std::uint8_t>(kCpuFlashSize / 1024);  // flash size in KiB
    info[3] = static_cast<std::uint8_t>((kCpuFlashSize / 1024) >> 8);
    const Layout layout = LayoutOf(options);
    Put32(&info[10], layout.inf1Address);
    Put32(&info[14], options.reportedProgramStart != 0 ? options.reportedProgramStart
                                                       : layout.mainProgramStart);
    return info;
}

std::array<std::uint8_t, 16> BuildInf1Block(const SimOptions& options) {
    std::array<std::uint8_t, 16> block{};
    const SimModelFacts& facts = FactsOf(options.model);
    block[0] = 1;
    block[1] = facts.boardTypeIndex;
    block[2] = facts.boardNumber;
    block[3] = 2;
    block[4] = 1;
    // Eight decimal digits, two per byte, the earlier digit in the low nibble.
    std::uint32_t serial = options.serialNumber;
    int digits[8];
    for (int i = 7; i >= 0; --i) {
        digits[i] = static_cast<int>(serial % 10);
        serial /= 10;
    }
    for (int i = 0; i < 4; ++i) {
        block[9 + i] = static_cast<std::uint8_t>(digits[2 * i] | digits[2 * i + 1] << 4);
    }
    return block;
}

}  // namespace device_layout
