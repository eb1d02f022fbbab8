#include "protocol/answer_queue.h"

#include <algorithm>
#include <stdexcept>

namespace {
constexpr std::size_t kMinimumEntries = 3;
}

AnswerQueue::AnswerQueue(std::size_t entries) {
    if (entries < kMinimumEntries) {
        throw std::invalid_argument("Слишком маленький буфер");
    }
    entries_.resize(entries);
}

bool AnswerQueue::Append(const std::uint8_t* packet, std::size_t length) {
    if (packet == nullptr || length == 0 || length > kEntryCapacity) {
        return false;
    }
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (count_ == entries_.size()) {
            return false;
        }
        Entry& entry = entries_[write_];
        std::copy(packet, packet + length, entry.bytes.begin());
        entry.length = static_cast<std::uint16_t>(length);
        write_ = (write_ + 1) % entries_.size();
        ++count_;
    }
    arrived_.notify_all();
    return true;
}

bool AnswerQueue::Empty() const {
    return Count() == 0;
}

std::size_t AnswerQueue::Count() const {
    std::lock_guard<std::mutex> guard(lock_);
    return count_;
}

std::size_t AnswerQueue::CopyFront(std::uint8_t* out) const {
    std::lock_guard<std::mutex> guard(lock_);
    if (count_ == 0) {
        return 0;
    }
    const Entry& entry = entries_[read_];
    std::copy(entry.bytes.begin(), entry.bytes.begin() + entry.length, out);
    return entry.length;
}

void AnswerQueue::RemoveFront() {
    std::lock_guard<std::mutex> guard(lock_);
    if (count_ == 0) {
        return;
    }
    read_ = (read_ + 1) % entries_.size();
    --count_;
}

void AnswerQueue::Clear() {
    std::lock_guard<std::mutex> guard(lock_);
    read_ = write_ = count_ = 0;
}

bool AnswerQueue::WaitNotEmpty(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> guard(lock_);
    if (limit <= std::chrono::milliseconds(0)) {
        return count_ > 0;  // a look alone, without a timed wait on the system's clock
    }
    const std::uint32_t interrupts = interrupts_;
    arrived_.wait_for(guard, limit, [&] { return count_ > 0 || interrupts_ != interrupts; });
    return count_ > 0;
}

void AnswerQueue::Interrupt() {
    std::lock_guard<std::mutex> guard(lock_);
    ++interrupts_;
    arrived_.notify_all();
}
