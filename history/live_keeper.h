#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "history/live_recorder.h"

// The window's side of recording, on the device worker: the archive opened
// at the first reading, each reading of a recognised device batched into it
// while recording is on, and a device's earlier readings for the plot.
class LiveKeeper {
  public:
    explicit LiveKeeper(std::string archivePath) : path_(std::move(archivePath)) {}
    ~LiveKeeper();

    // The message to show once when the archive cannot keep the reading.
    std::string Record(const ArchiveDeviceKey& key, const LiveReading& reading);
    std::string Tick(std::int64_t nowMs);
    // The device's readings since `fromMs`, oldest first; none without an archive.
    std::vector<LiveReading> Earlier(const ArchiveDeviceKey& key, std::int64_t fromMs);

  private:
    bool Opened();

    std::string path_;
    std::unique_ptr<HistoryArchive> archive_;
    std::unique_ptr<LiveArchive> live_;
    std::unique_ptr<LiveRecorder> recorder_;
    std::string openError_;
    bool openFailureTold_ = false;
};
