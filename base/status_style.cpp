#include "base/status_style.h"

StatusStyle StatusStyleFromNumber(int number) {
    return number >= 0 && number <= 3 ? static_cast<StatusStyle>(number) : StatusStyle::Neutral;
}

StatusColours ColoursOf(StatusStyle style) {
    switch (style) {
        case StatusStyle::Success:
            return {false, 0x008000, 0xFFFFFF, true};
        case StatusStyle::Error:
            return {false, 0xFF0000, 0xFFFF00, true};
        case StatusStyle::Warning:
            return {false, 0xFFFF00, 0x0000FF, true};
        case StatusStyle::Neutral:
            break;
    }
    return {true, 0, 0, false};
}
