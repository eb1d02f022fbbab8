#pragma once

#include <atomic>
#include <functional>

#include "base/app_log.h"
#include "base/dialogs.h"
#include "base/tick_clock.h"
#include "history/history_archive.h"
#include "history/history_device.h"
#include "history/history_pair_cache.h"
#include "history/history_reading_result.h"
#include "history/incremental_reading.h"

enum class HistoryOutcome {
    Completed,
    Cancelled,
    ReadError,    // a refused start, a failed exchange
    FormatError,  // the header failed its checks
    Stopped,      // the program is closing
};

// Where a reading stands. A full reading counts the pages it reads; one that
// continues the archive counts the pairs of records it asks the device for.
struct ReadingProgress {
    enum class Unit { Pages, Pairs };

    Unit unit = Unit::Pages;
    int done = 0;
    int total = 0;                  // 0 once the reading has ended
    std::uint32_t exported = 0;     // CSV lines so far (the pairs' come at the end)
    std::uint32_t asked = 0;        // records asked of the device so far
    std::uint32_t fromArchive = 0;  // records taken from the archive
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
        // At the start, after each page or pair, and at the end.
        std::function<void(const ReadingProgress&)> progress;
    };

    ReadHistory(HistoryAccess access, DeviceHistory& history, Dialogs& dialogs, AppLog* log,
                Hooks hooks = {});

    // Keeps every completed reading in `archive` under `key`, and asks the
    // device only for what the archive does not hold yet unless `full`. A
    // reading cut off by a cancel, a stop or a failed exchange keeps the pages
    // it completed there, so that the next one reads only the rest.
    void UseArchive(HistoryArchive* archive, ArchiveDeviceKey key, bool full);

    // `sensors` of the connected model go into every CSV line.
    HistoryOutcome Run(int sensors);
    void Cancel() { cancel_ = true; }

    // Of the last run: records asked of the device, records taken from the
    // archive, and why the archive could not keep the reading (empty when it did).
    std::uint32_t RecordsAsked() const { return asked_; }
    std::uint32_t RecordsFromArchive() const { return fromArchive_; }
    const std::string& ArchiveError() const { return archiveError_; }
    // The pages a reading that was cut off kept in the archive.
    std::size_t PagesKept() const { return pagesKept_; }

  private:
    HistoryOutcome Read();
    bool ReadHeader();
    HistoryOutcome ReadPages();
    bool ReadPage(int page);
    std::optional<IncrementalReading> PlanFromArchive();
    // Nothing when the archived newest record is no longer in place.
    std::optional<HistoryOutcome> ReadIncrementally(const IncrementalReading& plan);
    HistoryOutcome Interrupted() const;
    // Stopped or Cancelled when asked to end; nothing while the reading goes on.
    std::optional<HistoryOutcome> CutOff() const;
    // The whole ring, or the first `pagesRead` pages of its reading order.
    void Archive(std::optional<std::size_t> pagesRead);
    void EndAccess();
    void Report(HistoryOutcome outcome);
    void Progress(ReadingProgress::Unit unit, int done, int total);
    void Log(const std::string& line);
    void LogError(const std::string& line);

    HistoryAccess access_;
    DeviceHistory& history_;
    Dialogs& dialogs_;
    AppLog* log_;
    Hooks hooks_;
    HistoryPairCache cache_;
    std::atomic<bool> cancel_{false};
    bool accessOpen_ = false;
    HistoryArchive* archive_ = nullptr;
    ArchiveDeviceKey key_;
    bool full_ = true;
    std::uint32_t asked_ = 0;
    std::uint32_t fromArchive_ = 0;
    std::string archiveError_;
    // Pages at the start of the reading order that are wholly in the store.
    std::size_t pagesDone_ = 0;
    std::size_t pagesKept_ = 0;
};
