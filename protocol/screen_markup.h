#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "protocol/device_models.h"

// The markup the program draws on the dosimeter's own display with PC_PRINT
// while it writes the external flash. The two boards lay their screens out
// differently; the rendering is the device's.

// None for a board whose screen the program does not know.
std::optional<ScreenLayout> ScreenLayoutOf(std::uint16_t boardCode);

// The PC_CONNECTION text announcing the port: "COM " + number.
std::string PcConnectionText(int portNumber);

// The five screens that open a write: clear, font, caption, port, empty bar.
std::vector<std::string> StartScreens(ScreenLayout layout, int portNumber);

// The two screens that close a complete write.
std::vector<std::string> EndScreens(ScreenLayout layout);

// The bar and spinner of each progress step. The spinner turns one place per
// step and keeps its place from one write to the next, so one object lives as
// long as the program's link to the device.
class ProgressScreens {
  public:
    static constexpr const char* kSpinner = "|/-\\";

    // The two screens for `percent` (cut to 100), turning the spinner; none
    // for 0 or less, and the spinner then stays where it is.
    std::vector<std::string> Step(ScreenLayout layout, int percent);

  private:
    int spinner_ = 0;
};
