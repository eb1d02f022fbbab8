#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "history/history_archive.h"
#include "history/live_reading.h"

// The measurement readings kept in the history archive's file, one table
// beside the records, by the archive's device ids. Ranges are half open,
// [fromMs, toMs), on the PC's UTC clock.
class LiveArchive {
  public:
    explicit LiveArchive(HistoryArchive& archive) : archive_(archive) {}

    // All in one transaction; a reading kept before is kept once.
    bool Store(const ArchiveDeviceKey& key, const std::vector<LiveReading>& readings);
    // Oldest first.
    bool ForEach(std::int64_t device, std::int64_t fromMs, std::int64_t toMs,
                 const std::function<void(const LiveReading&)>& visit);
    std::vector<LiveReading> Readings(std::int64_t device, std::int64_t fromMs, std::int64_t toMs);
    std::optional<std::int64_t> Count(std::int64_t device, std::int64_t fromMs, std::int64_t toMs);
    // Removes the readings before `beforeMs`; how many.
    std::optional<std::int64_t> Prune(std::int64_t device, std::int64_t beforeMs);

    const std::string& Error() const { return error_; }
    // The last failure was another program holding the file longer than the
    // archive waits; the caller keeps its readings and tries again later.
    bool Busy() const { return busy_; }

  private:
    bool Fail();

    HistoryArchive& archive_;
    std::string error_;
    bool busy_ = false;
};
