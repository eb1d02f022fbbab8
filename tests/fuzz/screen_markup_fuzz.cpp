// The screens drawn on the device during a flash write, for any port number,
// board and run of progress percentages: each fits PC_PRINT, its blocks are
// closed, a progress bar is as wide as the percentage, cut to 100, and the spinner
// turns one place per drawn step.

#include <string>

#include "fuzz_support.h"
#include "protocol/screen_markup.h"

namespace {

void CheckScreen(const std::string& screen) {
    FUZZ_CHECK(!screen.empty() && screen.size() <= 125);
    int depth = 0;
    for (const char c : screen) {
        depth += c == '{' ? 1 : c == '}' ? -1 : 0;
        FUZZ_CHECK(depth == 0 || depth == 1);
    }
    FUZZ_CHECK(depth == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const auto layout = ScreenLayoutOf(input.ConsumeIntegral<std::uint16_t>());
    const int port = input.ConsumeIntegral<int>();
    const std::string connection = PcConnectionText(port);
    FUZZ_CHECK(connection == "COM " + std::to_string(port));
    if (!layout) {
        return 0;
    }
    for (const std::string& screen : StartScreens(*layout, port)) {
        CheckScreen(screen);
    }
    for (const std::string& screen : EndScreens(*layout)) {
        CheckScreen(screen);
    }
    // Runs longer than a write's hundred percentages reach nothing new (the
    // spinner comes round every 4 steps); they would only cost time.
    constexpr int kMaxSteps = 100;
    ProgressScreens progress;
    int steps = 0;
    for (int drawn = 0; drawn < kMaxSteps && input.remaining_bytes() > 0; ++drawn) {
        const int percent = input.ConsumeIntegral<int>();
        const auto screens = progress.Step(*layout, percent);
        FUZZ_CHECK(screens.size() == (percent > 0 ? 2u : 0u));
        for (const std::string& screen : screens) {
            CheckScreen(screen);
        }
        if (percent > 0) {
            const std::string width = "RF" + std::to_string(percent > 100 ? 100 : percent) + ":10}";
            FUZZ_CHECK(screens[0].ends_with(width));
            FUZZ_CHECK(screens[1].back() == ProgressScreens::kSpinner[steps++ % 4]);
        }
    }
    return 0;
}
