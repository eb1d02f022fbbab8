#pragma once

#include <cstddef>
#include <cstdint>

#include "base/tick_clock.h"
#include "protocol/device_records.h"

// How the writers cut an image into requests: 32-byte chunks for the other
// CPU, the model's own size otherwise.
std::uint32_t FlashChunkSize(const CpuInfo& cpu, std::uint16_t boardCode);

// The length of the chunk at `address`: up to the next multiple of the chunk
// size (a power of two), at most `remaining`.
std::uint32_t ChunkLength(std::uint32_t address, std::uint32_t chunkSize, std::size_t remaining);

// Percent of the image written, rounded down.
int PercentWritten(std::size_t written, std::size_t total);

// Decides when a write shows its progress: once more than `intervalMs` has
// passed since the last showing, and always at the end.
class ProgressPacer {
  public:
    ProgressPacer(TickClock clock, std::uint32_t intervalMs);
    bool Due(bool finished);

  private:
    TickClock clock_;
    std::uint32_t intervalMs_;
    std::uint32_t last_;
};
