#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

// A function that takes one log line; holders with an empty sink log nothing.
using LogSink = std::function<void(const std::string&)>;

// The program's one record of what happened. The log page mirrors these lines
// through the observer. The device worker and the GUI thread both write here:
// appends are serialised, and the observer hears of each change in the order
// of the lines, from the thread that made it.
class AppLog {
  public:
    static constexpr std::size_t kFullThreshold = 10000;
    static constexpr const char* kFullMarker = "!!!! LOG FULL !!!";

    struct Observer {
        std::function<void(const std::string&)> appended;
        std::function<void(const std::string&)> lastReplaced;
        std::function<void()> cleared;
    };

    void AddLine(const std::string& text);
    void LogError(const std::string& text);
    void LogErrorCode(const std::string& text, int code);
    void ReplaceLastLine(const std::string& text);
    void Clear();

    std::vector<std::string> Lines() const;
    // The texts of the LogError lines from line `first` on.
    std::vector<std::string> ErrorsSince(std::size_t first) const;
    std::size_t LineCount() const;

    // Every line followed by a single line feed.
    std::string Text() const;

    LogSink Sink();
    void SetObserver(Observer observer);

  private:
    void Append(const std::string& text);

    mutable std::mutex lock_;
    std::vector<std::string> lines_;
    std::string lastLine_;
    Observer observer_;
};
