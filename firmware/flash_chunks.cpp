#include "firmware/flash_chunks.h"

#include <algorithm>

#include "protocol/device_models.h"

namespace {

// The other CPU takes small chunks on any board, as does a board the program
// does not know.
constexpr std::uint32_t kSmallChunk = 32;

}  // namespace

std::uint32_t FlashChunkSize(const CpuInfo& cpu, std::uint16_t boardCode) {
    const SupportedModel* model = FindSupportedModel(boardCode);
    return IsOtherCpu(cpu.Type()) || model == nullptr ? kSmallChunk : model->flashChunk;
}

std::uint32_t ChunkLength(std::uint32_t address, std::uint32_t chunkSize, std::size_t remaining) {
    const std::uint32_t toBoundary = chunkSize - (address & (chunkSize - 1));
    return static_cast<std::uint32_t>(std::min<std::size_t>(toBoundary, remaining));
}

int PercentWritten(std::size_t written, std::size_t total) {
    return total == 0 ? 100 : static_cast<int>(written * 100 / total);
}

ProgressPacer::ProgressPacer(TickClock clock, std::uint32_t intervalMs)
    : clock_(std::move(clock)), intervalMs_(intervalMs), last_(clock_()) {}

bool ProgressPacer::Due(bool finished) {
    const std::uint32_t now = clock_();
    if (!finished && TicksSince(last_, now) <= intervalMs_) {
        return false;
    }
    last_ = now;
    return true;
}
