#include "history/live_recorder.h"

#include <tuple>

namespace {

bool SameDevice(const ArchiveDeviceKey& a, const ArchiveDeviceKey& b) {
    return std::tie(a.serial, a.uid, a.model) == std::tie(b.serial, b.uid, b.model);
}

}  // namespace

std::string LiveRecorder::Add(const ArchiveDeviceKey& key, const LiveReading& reading) {
    std::string message;
    if (!waiting_.empty() && !SameDevice(key, key_)) {
        message = Flush();
        waiting_.clear();
    }
    key_ = key;
    if (waiting_.size() >= kMaxWaiting) {
        waiting_.erase(waiting_.begin());
    }
    waiting_.push_back(reading);
    const std::string due = Tick(reading.timeMs);
    return message.empty() ? due : message;
}

std::string LiveRecorder::Tick(std::int64_t nowMs) {
    if (waiting_.empty() || nowMs - waiting_.front().timeMs < kBatchMs) {
        return {};
    }
    return Flush();
}

std::string LiveRecorder::Flush() {
    if (waiting_.empty()) {
        return {};
    }
    if (archive_.Store(key_, waiting_)) {
        waiting_.clear();
        failureTold_ = false;
        return {};
    }
    if (archive_.Busy()) {
        return {};
    }
    waiting_.clear();
    if (failureTold_) {
        return {};
    }
    failureTold_ = true;
    return archive_.Error();
}
