#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "history/history_archive.h"

// How a reading can take from the archive what the device still holds
// unchanged since the last reading: the ring only grows at its write position,
// so when the last reading's newest record is still in place, everything before
// it is what the archive kept, and only the records after it are new. A
// reading that was cut off kept only its newest pages: the older pages it
// never got to are read whole.
class IncrementalReading {
  public:
    // Nothing when the new header does not continue the archived ring (another
    // ring size, history deleted, wrapped past the archived newest record):
    // the reading is then a full one.
    static std::optional<IncrementalReading> Plan(const HistoryHeader& now,
                                                  const ArchivedRing& last);

    // The archived newest record, which the device is asked for again as the check.
    std::uint32_t CheckIndex() const { return check_; }
    bool CheckMatches(const std::uint8_t* record) const;
    // Pair starts to ask the device for: the check's pair, then on to the newest record.
    const std::vector<std::uint32_t>& Pairs() const { return pairs_; }
    // Pages of the ring that the archived reading did not get to, newest first.
    const std::vector<int>& MissingPages() const { return missing_; }
    // Puts the archived records before the check's pair into `store`; how many
    // of them are records rather than erased flash. The missing pages stay as
    // they were.
    std::uint32_t Restore(HistoryStore& store) const;

  private:
    const std::uint8_t* Archived(std::uint32_t index) const;

    ArchivedRing last_;
    std::vector<int> pageOffsets_;  // by page: where its bytes are in last_.pages, or -1
    std::uint32_t ring_ = 0;        // records in the ring
    std::uint32_t check_ = 0;
    std::uint32_t firstKept_ = 0;  // the first slot of the new ring's oldest page
    std::vector<std::uint32_t> pairs_;
    std::vector<int> missing_;
};
