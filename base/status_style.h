#pragma once

#include <cstdint>

enum class StatusStyle { Neutral = 0, Success = 1, Error = 2, Warning = 3 };

// Style numbers outside the known ones are shown as Neutral.
StatusStyle StatusStyleFromNumber(int number);

// Colours of the status panel. Neutral keeps the system's button face and
// window text, which only the toolkit knows.
struct StatusColours {
    bool systemColours = false;
    std::uint32_t panelRgb = 0;
    std::uint32_t textRgb = 0;
    bool bold = false;
};

StatusColours ColoursOf(StatusStyle style);
