#include "app/instance_lock.h"

InstanceLock::InstanceLock(std::string path, std::string fallback)
    : path_(std::move(path)), fallback_(std::move(fallback)) {}

InstanceLock::~InstanceLock() {
    Release();
}

bool InstanceLock::Acquire() {
    if (Held()) {
        return true;
    }
    int result = TryLock(path_);
    if (result < 0 && !fallback_.empty() && fallback_ != path_) {
        result = TryLock(fallback_);
    }
    unavailable_ = result < 0;
    return result != 0;
}
