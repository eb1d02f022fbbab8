#pragma once

#include <chrono>
#include <string>

// Progress of long work on standard error: a bar redrawn in place on a
// terminal, otherwise one line per tenth of the work, so that a log stays short.
class CliProgress {
  public:
    CliProgress(std::string unit, bool quiet);
    ~CliProgress();
    CliProgress(const CliProgress&) = delete;
    CliProgress& operator=(const CliProgress&) = delete;

    // `done` of `total` units; `detail` follows the counts ("1234 records").
    void Update(int done, int total, const std::string& detail = {});
    // What the counts count from now on, when the work turns out to count otherwise.
    void SetUnit(std::string unit) { unit_ = std::move(unit); }

  private:
    std::string Line(int done, int total, const std::string& detail) const;

    std::string unit_;
    bool quiet_;
    bool terminal_;
    bool drawn_ = false;
    int lastTenth_ = -1;
    std::chrono::steady_clock::time_point started_;
};

// "01:05" for 65 seconds, "1:01:05" from an hour on.
std::string DurationText(std::chrono::seconds duration);
