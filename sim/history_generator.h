#pragma once

#include <cstdint>

#include "sim/history_ring.h"
#include "sim/radiation_background.h"
#include "sim/sim_options.h"

// What a device of this kind records for the interval [start, start + length).
SimHistoryRecord MakeHistoryRecord(const RadiationBackground& background, std::uint32_t start,
                                   std::uint16_t length, int sensors, std::uint32_t k100);

// Records written since the device was new: Partial the count given (three
// days by default), Wrapped one full ring and then the count given, Full
// exactly one full ring of `ring`'s kind.
std::uint32_t HistoryRecordCount(const HistoryOptions& options, const HistoryRing& ring);

// Fills an empty ring as if the device had recorded every `periodSeconds` up
// to `endTime`. Returns false when the flash refused a write.
bool GenerateHistory(HistoryRing& ring, const HistoryOptions& options,
                     const RadiationBackground& background, std::uint32_t endTime, int sensors,
                     std::uint32_t k100);
