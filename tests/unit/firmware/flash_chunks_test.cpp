#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "firmware/external_flash_writer.h"
#include "firmware/firmware_images.h"
#include "firmware/flash_chunks.h"

namespace {

CpuInfo CpuOfType(std::uint16_t type) {
    CpuInfo cpu;
    WriteLe16(cpu.bytes.data(), type);
    return cpu;
}

std::vector<std::uint32_t> Chunks(std::uint32_t address, std::uint32_t chunk, std::size_t size) {
    std::vector<std::uint32_t> lengths;
    while (size > 0) {
        const std::uint32_t count = ChunkLength(address, chunk, size);
        lengths.push_back(count);
        address += count;
        size -= count;
    }
    return lengths;
}

TEST(FlashChunks, SmallChunksForTheOtherCpuAndBoard520) {
    EXPECT_EQ(FlashChunkSize(CpuOfType(9), 310), 32u);
    EXPECT_EQ(FlashChunkSize(CpuOfType(6), 520), 32u);
    EXPECT_EQ(FlashChunkSize(CpuOfType(6), 310), 128u);
}

TEST(FlashChunks, ChunksStopAtEveryMultipleOfTheChunkSize) {
    EXPECT_EQ(Chunks(0, 32, 0x4C000).size(), 9728u);
    EXPECT_EQ(Chunks(0x08002000, 32, 0xE000).size(), 1792u);
    EXPECT_EQ(Chunks(256, 128, 300), (std::vector<std::uint32_t>{128, 128, 44}));
    // An unaligned start first fills up to the boundary.
    EXPECT_EQ(Chunks(100, 32, 70), (std::vector<std::uint32_t>{28, 32, 10}));
}

TEST(FlashProgress, PercentAndTheLogLineBar) {
    EXPECT_EQ(PercentWritten(0x26000, 0x4C000), 50);
    EXPECT_EQ(PercentWritten(0x4BFFF, 0x4C000), 99);
    EXPECT_EQ(ExternalFlashProgressLine(50, 0x26000),
              "# ЗАПИСЬ: 50% 152Кб [>>>>>>>>>>>>>------------]");
    EXPECT_EQ(ExternalFlashProgressLine(100, 0x4C000),
              "# ЗАПИСЬ: 100% 304Кб [>>>>>>>>>>>>>>>>>>>>>>>>>]");
    EXPECT_EQ(ExternalFlashProgressLine(3, 100), "# ЗАПИСЬ: 3% 0Кб [>------------------------]");
}

TEST(ProgressPacer, ShowsOnlyAfterMoreThanTheIntervalAndAlwaysAtTheEnd) {
    std::uint32_t now = 0xFFFFFF00;  // wraps during the test
    ProgressPacer pacer([&] { return now; }, 500);
    now += 500;
    EXPECT_FALSE(pacer.Due(false));
    now += 1;
    EXPECT_TRUE(pacer.Due(false));
    now += 200;
    EXPECT_FALSE(pacer.Due(false));
    EXPECT_TRUE(pacer.Due(true));
    now += 400;
    EXPECT_FALSE(pacer.Due(false)) << "the end restarts the interval";
}

TEST(CarriedFirmware, ImagesAtTheirSizesForEachBoardAndRevision) {
    EXPECT_EQ(ExternalFlashImage(310)->size(), 0x4C000u);
    EXPECT_EQ(ExternalFlashImage(520)->size(), 0x9B000u);
    EXPECT_FALSE(ExternalFlashImage(405));
    const auto rev41 = CpuImage(310, 41);
    const auto rev42 = CpuImage(310, 42);
    ASSERT_TRUE(rev41 && rev42);
    EXPECT_EQ(rev41->size(), 0xE000u);
    EXPECT_EQ(rev42->size(), 0xE000u);
    EXPECT_FALSE(std::equal(rev41->begin(), rev41->end(), rev42->begin()));
    EXPECT_EQ(CpuImage(520, 2)->size(), 0xCC00u);
    EXPECT_EQ(CpuImage(520, 3)->data(), CpuImage(520, 2)->data());
    EXPECT_FALSE(CpuImage(310, 43));
    EXPECT_FALSE(CpuImage(520, 4));
    EXPECT_EQ(CarriedMainVersion(310), 0x0C06);
    EXPECT_EQ(CarriedMainVersion(520), 0x0C03);
}

}  // namespace
