#include "protocol/screen_markup.h"

#include <algorithm>

namespace {

constexpr int kFullBar = 100;
constexpr int kSpinnerPlaces = 4;

bool IsNarrow(ScreenLayout layout) {
    return layout == ScreenLayout::Narrow;
}

}  // namespace

std::optional<ScreenLayout> ScreenLayoutOf(std::uint16_t boardCode) {
    const SupportedModel* model = FindSupportedModel(boardCode);
    if (model == nullptr) {
        return std::nullopt;
    }
    return model->screen;
}

std::string PcConnectionText(int portNumber) {
    return "COM " + std::to_string(portNumber);
}

std::vector<std::string> StartScreens(ScreenLayout layout, int portNumber) {
    const std::string port = std::to_string(portNumber);
    if (IsNarrow(layout)) {
        return {"{X0|Y0|Cg|RA}", "{F02|Bg|CW|AL|T0}", "{Y1|AS|*}PC CONNECT",
                "{Y21|AS|*}COM-" + port, "{Y60|X11|CB|RF106:16|x3|y3|Cb|RF100:10}"};
    }
    return {"{X0|Y0|Cg|RF240:320}", "{F02|Bg|CW|AL|T0}", "{Y5|AS|*}PC CONNECTED",
            "{Y25|AS|*}COM-" + port, "{Y60|X67|CB|RF106:16|x3|y3|Cb|RF100:10}"};
}

std::vector<std::string> EndScreens(ScreenLayout layout) {
    if (IsNarrow(layout)) {
        return {"#{X0|Y60|Cg|Bg|RF128:20|F02}", "{Y83|CY|T0|AS|*}END OF#{y20|AS|*}WRITE"};
    }
    return {"#{X0|Y280|Cg|Bg|RF240:20|F02}", "{Y280|CY|T0|AS|*}END OF WRITE"};
}

std::vector<std::string> ProgressScreens::Step(ScreenLayout layout, int percent) {
    if (percent <= 0) {
        return {};
    }
    const std::string width = std::to_string(std::min(percent, kFullBar));
    const char spinner = kSpinner[spinner_];
    spinner_ = (spinner_ + 1) % kSpinnerPlaces;
    const std::string bar = IsNarrow(layout) ? "{X14|Y63|CY|RF" : "{X70|Y63|CY|RF";
    return {bar + width + ":10}", std::string("{Y83|CC|F02|AS|*}") + spinner};
}
