#pragma once

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

    bool autoReadChecked = true;
    bool readEnabled = false;
    int activePage = kMeasurementPageIndex;
    bool pageControlEnabled = true;
};
