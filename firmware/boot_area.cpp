#include "firmware/boot_area.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "base/language.h"

namespace {

std::string AddressText(std::uint64_t address) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%08llX", static_cast<unsigned long long>(address));
    return text;
}

// Past the last of the boot loader's records; computed wide, so that a record
// at the top of the address space cannot wrap its end round to 0.
std::uint64_t BootRecordsEnd(const SoftInfo& soft, const CpuInfo& cpu) {
    std::uint64_t end = 0;
    if (soft.cpuInfoAddress != 0) {
        end = std::uint64_t{soft.cpuInfoAddress} + CpuInfo::kSize;
    }
    if (const std::uint32_t inf1 = Inf1BlockAddress(cpu); inf1 != 0) {
        end = std::max(end, std::uint64_t{inf1} + std::tuple_size_v<Inf1Block>);
    }
    return end;
}

}  // namespace

std::string ProgramStartFault(std::uint32_t start, const SoftInfo& soft, const CpuInfo& cpu) {
    const std::uint64_t end = BootRecordsEnd(soft, cpu);
    if (start >= end) {
        return {};
    }
    return PickText("Начало программы " + AddressText(start) + " в области загрузчика, ниже " +
                        AddressText(end),
                    "Program start " + AddressText(start) + " inside the boot loader, below " +
                        AddressText(end));
}
