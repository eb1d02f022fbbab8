#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "history/live_archive.h"

// Readings on their way into the archive: kept in memory and stored together
// once the oldest waits kBatchMs, so a reading costs no transaction of its own
// and a killed program loses no more than one batch. Another program holding
// the file only delays a batch; any other failure is told once, its batch
// dropped, and recording goes on.
class LiveRecorder {
  public:
    static constexpr std::int64_t kBatchMs = 5000;
    // Beyond this a batch that cannot be stored is dropped, oldest first.
    static constexpr std::size_t kMaxWaiting = 24 * 3600;

    explicit LiveRecorder(LiveArchive& archive) : archive_(archive) {}

    // Each returns the message to show once when storing failed, else empty.
    std::string Add(const ArchiveDeviceKey& key, const LiveReading& reading);
    // Stores the batch when its time has come.
    std::string Tick(std::int64_t nowMs);
    std::string Flush();

    std::size_t Waiting() const { return waiting_.size(); }

  private:
    LiveArchive& archive_;
    ArchiveDeviceKey key_;
    std::vector<LiveReading> waiting_;
    bool failureTold_ = false;
};
