#include <gtest/gtest.h>

#include <string>

#include "firmware/boot_area.h"
#include "unit/ident/language_guard.h"

namespace {

CpuInfo Cpu(std::uint16_t type, std::uint32_t inf1Address) {
    CpuInfo cpu;
    WriteLe16(cpu.bytes.data(), type);
    WriteLe32(cpu.bytes.data() + 10, inf1Address);
    return cpu;
}

TEST(ProgramStart, MustLiePastTheBootLoadersRecords) {
    LanguageGuard english(Language::English);
    const struct {
        std::uint32_t start;
        std::uint32_t cpuInfoAddress;
        CpuInfo cpu;
        std::string fault;
    } rows[] = {
        {0x08002000, 0x08000100, Cpu(9, 0x08000180), ""},
        // Right after the Inf1Block, the last record.
        {0x08000190, 0x08000100, Cpu(9, 0x08000180), ""},
        {0x08000180, 0x08000100, Cpu(9, 0x08000180),
         "Program start 0x08000180 inside the boot loader, below 0x08000190"},
        {0x08000000, 0x08000100, Cpu(9, 0x08000180),
         "Program start 0x08000000 inside the boot loader, below 0x08000190"},
        // CpuInfo alone, when it lies last.
        {0x08000400, 0x08000400, Cpu(9, 0x08000180),
         "Program start 0x08000400 inside the boot loader, below 0x08000430"},
        // Type 1 moves a stored 0x08002780 to 0x080027F0.
        {0x08002800, 0x08000100, Cpu(1, 0x08002780), ""},
        {0x08002780, 0x08000100, Cpu(1, 0x08002780),
         "Program start 0x08002780 inside the boot loader, below 0x08002800"},
        // A record at the top of the address space leaves no room at all.
        {0xFFFFFF00, 0xFFFFFFF0, Cpu(9, 0),
         "Program start 0xFFFFFF00 inside the boot loader, below 0x100000020"},
    };
    for (const auto& row : rows) {
        SoftInfo soft;
        soft.cpuInfoAddress = row.cpuInfoAddress;
        EXPECT_EQ(ProgramStartFault(row.start, soft, row.cpu), row.fault) << std::hex << row.start;
    }
}

}  // namespace
