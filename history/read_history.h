#pragma once

#include <atomic>
#include <functional>

#include "base/app_log.h"
#include "base/dialogs.h"
#include "base/tick_clock.h"
#include "history/device_history.h"
#include "history/history_device.h"
#include "history/history_record_reader.h"

enum class HistoryOutcome {
    Completed,
    Cancelled,
    ReadError,    // a refused start, a failed exchange
    FormatError,  // the header failed its checks
    Stopped,      // the program is closing
};

// One reading of the device's whole history ring into a DeviceHistory, page by
// page from the newest back to the oldest, building the CSV text on the way.
// Runs to completion, cancellation or failure inside Run(); Cancel() (from any
// thread: the page's Cancel click, the CLI's first Ctrl-C) ends it after the
// current page, also when it comes before Run() started. Once the device has
// opened its history access, every way out closes it again, also a stop.
class ReadHistory {
  public:
    struct Hooks {
        // After each page: pages done of pages in all.
        std::function<void(int done, int total)> progress;
    };

    ReadHistory(HistoryAccess access, DeviceHistory& history, Dialogs& dialogs, AppLog* log,
                Hooks hooks = {});

    // `sensors` of the connected model go into every CSV line.
    HistoryOutcome Run(int sensors);
    void Cancel() { cancel_ = true; }
    bool Running() const { return running_; }

  private:
    HistoryOutcome Read();
    bool ReadHeader();
    HistoryOutcome ReadPages();
    bool ReadPage(int page);
    void EndAccess();
    void Report(HistoryOutcome outcome);
    void Progress(int done, int total);
    void Log(const std::string& line);
    void LogError(const std::string& line);

    HistoryAccess access_;
    DeviceHistory& history_;
    Dialogs& dialogs_;
    AppLog* log_;
    Hooks hooks_;
    HistoryPairCache cache_;
    bool running_ = false;
    std::atomic<bool> cancel_{false};
    bool accessOpen_ = false;
};
