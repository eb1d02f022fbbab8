#pragma once

#include <cstdint>
#include <string>

// Colours of the two indicator squares; the page maps them to real colours.
enum class IndicatorColour { Aqua, Yellow, ButtonFace };

// What the measurement page shows and the controls the measurement logic reads.
// The Qt page binds it to its widgets; tests inspect it directly.
struct MeasurePageState {
    static constexpr const char* kInitialText = "----";
    static constexpr const char* kBlankText = "--------";
    static constexpr int kMeasurementPageIndex = 0;

    std::string fonText = kInitialText;
    int fonLevel = 0;
    IndicatorColour fonIndicator = IndicatorColour::Aqua;
    std::string doseText = kInitialText;
    IndicatorColour doseIndicator = IndicatorColour::Aqua;
    std::string versionNotice;
    // The last rate as the device gave it: its units code (0 and 1 dose
    // rate, 2 and above count rate) and the raw word.
    int unitsCode = -1;
    std::uint32_t rateRaw = 0;

    bool autoReadChecked = true;
    bool readEnabled = false;
    int activePage = kMeasurementPageIndex;
};
