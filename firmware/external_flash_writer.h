#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "firmware/firmware_context.h"
#include "firmware/firmware_images.h"
#include "protocol/screen_markup.h"

// Writes the carried data image into the external flash of a device running
// its main program. Each 4 KiB sector is erased before any chunk reaches it;
// progress goes to the log, the progress bar and the device's screen.
class ExternalFlashWriter {
  public:
    static constexpr std::uint32_t kSectorSize = 4096;
    static constexpr std::size_t kSectors = 2048;
    static constexpr std::uint32_t kProgressIntervalMs = 500;

    // `screens` keeps the device's spinner turning from one write to the next.
    ExternalFlashWriter(const FirmwareContext& context, ProgressScreens& screens);

    WriteOutcome Run();

    // The address the write stopped at (the chunk that failed).
    std::uint32_t Address() const { return address_; }

  private:
    WriteOutcome Prepare();
    WriteOutcome WriteImage();
    bool EnsureErased(std::uint32_t address);
    void ShowProgress(std::size_t written);
    void Print(const std::vector<std::string>& screens);
    WriteOutcome Finish(WriteOutcome outcome);

    const FirmwareContext& context_;
    ProgressScreens& screens_;
    ScreenLayout layout_ = ScreenLayout::Narrow;
    ImageBytes image_;
    std::uint32_t chunkSize_ = 0;
    std::uint32_t address_ = 0;
    std::array<bool, kSectors> erased_{};
};

// The log line of the write's progress: percent, KiB written and a bar of 25.
std::string ExternalFlashProgressLine(int percent, std::size_t written);
