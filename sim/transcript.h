#pragma once

#include <cstdint>
#include <deque>
#include <fstream>
#include <string>
#include <vector>

// What crossed the wire, in order: requests as the device decoded them and the
// answers it sent (after any fault was applied).
struct TranscriptEntry {
    enum class Direction { Request, Answer };

    std::uint64_t timeMs = 0;  // since the simulated device was created
    Direction direction = Direction::Request;
    int group = 0;  // without the answer bit
    int code = 0;
    std::vector<std::uint8_t> data;  // command data, after group and code

    std::string ToJson() const;
};

// Keeps the newest `kMemoryLimit` entries in memory, so a demo left running
// for days does not grow without bound; the file keeps everything.
class Transcript {
  public:
    static constexpr std::size_t kMemoryLimit = 1000000;

    // An empty path keeps the transcript in memory only.
    explicit Transcript(const std::string& path = {});

    void Add(TranscriptEntry entry);
    void Clear() { entries_.clear(); }

    std::vector<TranscriptEntry> Entries() const { return {entries_.begin(), entries_.end()}; }
    std::vector<TranscriptEntry> Requests() const;
    std::size_t CountRequests(int group, int code) const;
    std::size_t Count(TranscriptEntry::Direction direction, int group, int code) const;

  private:
    std::deque<TranscriptEntry> entries_;
    std::ofstream file_;
};
