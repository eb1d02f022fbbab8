#pragma once

#include <cstdint>
#include <string>

#include "protocol/device_records.h"

// The boot loader keeps the records the device describes (the CpuInfo block
// at the SoftInfo address, the Inf1Block) in its own flash area, below the
// main program. A CPU image starting below their end would have its first
// erase reach the boot loader. Empty when an image may start at `start`;
// otherwise the reason, in the current language.
std::string ProgramStartFault(std::uint32_t start, const SoftInfo& soft, const CpuInfo& cpu);
