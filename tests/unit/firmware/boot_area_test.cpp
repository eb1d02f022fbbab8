#include <gtest/gtest.h>

#include <string>

#include "firmware/boot_area.h"
#include "support/language_guard.h"

namespace {

CpuInfo Cpu(std::uint16_t type, std::uint32_t inf1Address) {
    CpuInfo cpu;
    WriteLe16(cpu.bytes.data(), type);
    WriteLe32(cpu.bytes.data() + 10, inf1Address);
    return cpu;
}

// Records may lie below the program, above it or in another memory area; only
// a start that cannot be right or an image over a record is refused.
TEST(ProgramStart, RefusesOnlyWhatCannotBeRightOrWouldWipeARecord) {
    LanguageGuard english(Language::English);
    const struct {
        const char* what;
        std::uint32_t start;
        std::uint32_t size;
        std::uint32_t page;
        std::uint32_t cpuInfoAddress;
        CpuInfo cpu;
        std::string fault;
    } rows[] = {
        {"records below", 0x08002000, 0xE000, 128, 0x08000100, Cpu(9, 0x08000180), ""},
        {"right after the Inf1Block", 0x08000200, 0xE000, 128, 0x08000100, Cpu(9, 0x08000180), ""},
        {"records above, the image ends right before them", 0x08004000, 0x1BE00, 256, 0x0801FE00,
         Cpu(6, 0x0801FF00), ""},
        {"records in another area", 0x08006000, 0xCC00, 256, 0x08080100, Cpu(6, 0x0808DB00), ""},
        {"no records named", 0x08000000, 0xE000, 128, 0, Cpu(9, 0), ""},
        {"start 0", 0, 0xE000, 128, 0x08000100, Cpu(9, 0x08000180),
         "No program start (0x00000000)"},
        {"off a page", 0x08004080, 0xCC00, 256, 0x0801FE00, Cpu(6, 0x0801FF00),
         "Program start 0x08004080 not on a page boundary (256 bytes)"},
        {"past the address space", 0xFFFF8000, 0xE000, 128, 0x08000100, Cpu(9, 0x08000180),
         "Program image 0xFFFF8000..0x100005FFF runs past the end of the address space"},
        {"ending at the top of the address space", 0xFFFF2000, 0xE000, 128, 0x08000100,
         Cpu(9, 0x08000180), ""},
        {"over CpuInfo below", 0x08000000, 0xE000, 128, 0x08000100, Cpu(9, 0x08000180),
         "Program image 0x08000000..0x0800DFFF overlaps CpuInfo at 0x08000100..0x0800012F"},
        {"its last byte on CpuInfo's first", 0x08012000, 0xDE01, 256, 0x0801FE00,
         Cpu(6, 0x0801FF00),
         "Program image 0x08012000..0x0801FE00 overlaps CpuInfo at 0x0801FE00..0x0801FE2F"},
        {"over the Inf1Block alone", 0x0808D000, 0xCC00, 256, 0x08080100, Cpu(6, 0x0808DB00),
         "Program image 0x0808D000..0x08099BFF overlaps Inf1Block at 0x0808DB00..0x0808DB0F"},
        // Type 1 moves a stored 0x08002780 to 0x080027F0.
        {"over a moved Inf1Block", 0x08002400, 0x400, 1024, 0x08000100, Cpu(1, 0x08002780),
         "Program image 0x08002400..0x080027FF overlaps Inf1Block at 0x080027F0..0x080027FF"},
        {"short of a moved Inf1Block", 0x08002000, 0x400, 1024, 0x08000100, Cpu(1, 0x08002780), ""},
    };
    for (const auto& row : rows) {
        SoftInfo soft;
        soft.cpuInfoAddress = row.cpuInfoAddress;
        EXPECT_EQ(ProgramStartFault(row.start, row.size, row.page, soft, row.cpu), row.fault)
            << row.what;
    }
}

TEST(ProgramStart, NamesBothSpansInRussian) {
    LanguageGuard russian(Language::Russian);
    SoftInfo soft;
    soft.cpuInfoAddress = 0x0801FE00;
    EXPECT_EQ(ProgramStartFault(0x0801F000, 0xCC00, 256, soft, Cpu(6, 0x0801FF00)),
              "Образ программы 0x0801F000..0x0802BBFF перекрывает CpuInfo 0x0801FE00..0x0801FE2F");
}

}  // namespace
