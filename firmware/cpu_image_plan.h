#pragma once

#include <cstdint>
#include <optional>

#include "base/app_log.h"
#include "firmware/firmware_images.h"
#include "protocol/commands.h"

// The carried CPU image of the connected device and where it goes.
struct CpuImagePlan {
    ImageBytes image;
    std::uint32_t start = 0;
    std::uint32_t pageSize = 0;
    std::uint32_t chunkSize = 0;
};

// Plans the CPU-flash write from the device's SoftInfo, CpuInfo and board,
// which its main program and its boot loader both give, so the update can
// judge the write before it restarts anything. None when the device has no
// carried image (silently) or the image may not go where the device says (the
// reason logged as an error line).
std::optional<CpuImagePlan> PlanCpuImage(DeviceCommands& commands, AppLog& log);
