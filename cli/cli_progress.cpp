#include "cli/cli_progress.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "base/language.h"

namespace {

constexpr int kBarWidth = 30;

}  // namespace

std::string DurationText(std::chrono::seconds duration) {
    const long long total = duration.count() < 0 ? 0 : duration.count();
    char text[32];
    if (total >= 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", total / 3600, total / 60 % 60,
                      total % 60);
    } else {
        std::snprintf(text, sizeof text, "%02lld:%02lld", total / 60, total % 60);
    }
    return text;
}

CliProgress::CliProgress(std::string unit, bool quiet)
    : unit_(std::move(unit)),
      quiet_(quiet),
      terminal_(::isatty(STDERR_FILENO) == 1),
      started_(std::chrono::steady_clock::now()) {}

CliProgress::~CliProgress() {
    if (drawn_) {
        std::cerr << '\n';
    }
}

std::string CliProgress::Line(int done, int total, const std::string& detail) const {
    const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::steady_clock::now() - started_);
    std::string line = std::to_string(done) + "/" + std::to_string(total) + " " + unit_;
    if (!detail.empty()) {
        line += ", " + detail;
    }
    line += std::string(", ") + PickText("прошло ", "elapsed ") + DurationText(elapsed);
    if (done > 0 && done < total) {
        line += std::string(", ") + PickText("осталось ", "remaining ") +
                DurationText(elapsed * (total - done) / done);
    }
    return line;
}

void CliProgress::Update(int done, int total, const std::string& detail) {
    if (quiet_ || total <= 0 || done < 0 || done > total) {
        return;
    }
    if (terminal_) {
        const int filled = kBarWidth * done / total;
        std::cerr << "\r[" << std::string(filled, '#') << std::string(kBarWidth - filled, ' ')
                  << "] " << Line(done, total, detail) << "\033[K" << std::flush;
        drawn_ = true;
        return;
    }
    const int tenth = 10 * done / total;
    if (tenth != lastTenth_) {
        lastTenth_ = tenth;
        std::cerr << tenth * 10 << "% " << Line(done, total, detail) << '\n';
    }
}
