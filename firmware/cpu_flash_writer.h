#pragma once

#include <cstdint>

#include "firmware/cpu_image_plan.h"
#include "firmware/firmware_context.h"

// Writes the carried main program into the CPU flash of a device running its
// boot loader, erasing each flash page as the write reaches it.
class CpuFlashWriter {
  public:
    static constexpr std::uint32_t kProgressIntervalMs = 200;

    explicit CpuFlashWriter(const FirmwareContext& context);

    WriteOutcome Run();

  private:
    WriteOutcome Prepare();
    WriteOutcome WriteImage();

    const FirmwareContext& context_;
    CpuImagePlan plan_;
};
