#pragma once

#include <vector>

// One control of the window itself whose caption follows the interface
// language; the pages caption their own controls (their Relabel).
struct CaptionRow {
    const char* control;
    const char* russian;
    const char* english;
};

// Applied in order; where a control appears twice the later row wins.
const std::vector<CaptionRow>& MainCaptionTable();

inline constexpr const char* kMainWindowCaption = "Dravo Explorer 1.1 (21.03.2023)";
