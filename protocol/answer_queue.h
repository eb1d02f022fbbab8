#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

// The packets delivered to one channel, oldest first: a ring of fixed entries.
// Appends come from the reader thread, removals from the waiting caller.
class AnswerQueue {
  public:
    static constexpr std::size_t kDefaultEntries = 10;
    static constexpr std::size_t kEntryCapacity = 999;

    // Throws std::invalid_argument("Слишком маленький буфер") below 3 entries.
    explicit AnswerQueue(std::size_t entries = kDefaultEntries);

    // False (packet dropped) when the queue is full or the length is 0 or above
    // kEntryCapacity.
    bool Append(const std::uint8_t* packet, std::size_t length);

    bool Empty() const;
    std::size_t Count() const;
    // Copies the front packet into `out` (up to kEntryCapacity bytes); returns its
    // length, or 0 when the queue is empty.
    std::size_t CopyFront(std::uint8_t* out) const;
    void RemoveFront();
    void Clear();

    // Blocks until a packet is queued, `limit` has passed or Interrupt is
    // called; true when not empty.
    bool WaitNotEmpty(std::chrono::milliseconds limit);
    // Releases a waiter at once, so that it looks again at why it waits.
    void Interrupt();

  private:
    struct Entry {
        std::uint16_t length = 0;
        std::array<std::uint8_t, kEntryCapacity> bytes{};
    };

    mutable std::mutex lock_;
    std::condition_variable arrived_;
    std::vector<Entry> entries_;
    std::size_t read_ = 0;
    std::size_t write_ = 0;
    std::size_t count_ = 0;
    std::uint32_t interrupts_ = 0;
};
