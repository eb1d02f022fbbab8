#pragma once

#include <vector>

// One control whose caption follows the interface language. A control with a
// busy pair shows that pair while its operation runs (its "tag" is non-zero).
struct CaptionRow {
    const char* control;
    const char* russian;
    const char* english;
    const char* busyRussian = nullptr;
    const char* busyEnglish = nullptr;
};

// Applied in order; where a control appears twice the later row wins.
const std::vector<CaptionRow>& MainCaptionTable();

inline constexpr const char* kMainWindowCaption = "Dravo Explorer 1.1 (21.03.2023)";
