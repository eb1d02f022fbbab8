#pragma once

#include <cstdint>
#include <string>

#include "protocol/device_records.h"

// Where a CPU image may be written. Devices keep the records they describe
// (the CpuInfo block at the SoftInfo address, the Inf1Block) wherever they
// choose: below the main program, above it or in another memory area. Only
// what is certainly wrong is refused: a start of 0 or off a page boundary, an
// image running past the end of the address space, and an image over either
// record, which its erases would wipe. `pageSize` must not be 0. Empty when
// the image may go there; otherwise the reason, in the current language,
// naming the image's span and the record in its way.
std::string ProgramStartFault(std::uint32_t start, std::uint32_t imageSize, std::uint32_t pageSize,
                              const SoftInfo& soft, const CpuInfo& cpu);
