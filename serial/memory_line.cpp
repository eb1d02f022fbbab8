#include "serial/memory_line.h"

#include <algorithm>
#include <map>

namespace {

constexpr const char* kPathPrefix = "memory:COM";

std::size_t TakeFrom(std::deque<std::uint8_t>& queue, std::uint8_t* buffer, std::size_t count) {
    const std::size_t moved = std::min(count, queue.size());
    std::copy_n(queue.begin(), moved, buffer);
    queue.erase(queue.begin(), queue.begin() + static_cast<std::ptrdiff_t>(moved));
    return moved;
}

std::mutex registryLock;
std::map<int, std::shared_ptr<MemoryLine>>& Registry() {
    static std::map<int, std::shared_ptr<MemoryLine>> lines;
    return lines;
}

}  // namespace

void MemoryLine::SetDeviceWake(std::function<void()> wake) {
    std::lock_guard<std::mutex> guard(data_);
    deviceWake_ = std::move(wake);
}

void MemoryLine::DeviceSend(const std::uint8_t* data, std::size_t count) {
    {
        std::lock_guard<std::mutex> guard(data_);
        if (hungUp_) {
            return;
        }
        toPort_.insert(toPort_.end(), data, data + count);
    }
    std::lock_guard<std::mutex> delivering(delivery_);
    if (!received_) {
        std::lock_guard<std::mutex> guard(data_);
        toPort_.clear();
        return;
    }
    // As a reader thread does: hand over what waits until the handler has
    // taken it all or takes nothing more.
    for (std::size_t waiting = PortWaiting(); waiting > 0;) {
        received_(waiting);
        const std::size_t left = PortWaiting();
        if (left >= waiting) {
            break;
        }
        waiting = left;
    }
}

std::size_t MemoryLine::DeviceRead(std::uint8_t* buffer, std::size_t count) {
    std::lock_guard<std::mutex> guard(data_);
    return TakeFrom(toDevice_, buffer, count);
}

std::size_t MemoryLine::DeviceWaiting() const {
    std::lock_guard<std::mutex> guard(data_);
    return toDevice_.size();
}

void MemoryLine::HangUp() {
    {
        std::lock_guard<std::mutex> guard(data_);
        hungUp_ = true;
        toPort_.clear();
        toDevice_.clear();
    }
    std::lock_guard<std::mutex> delivering(delivery_);
    if (vanished_) {
        vanished_();
    }
}

bool MemoryLine::Attach(Received received, std::function<void()> vanished) {
    std::lock_guard<std::mutex> delivering(delivery_);
    std::lock_guard<std::mutex> guard(data_);
    if (hungUp_) {
        return false;
    }
    toPort_.clear();
    received_ = std::move(received);
    vanished_ = std::move(vanished);
    return true;
}

void MemoryLine::Detach() {
    std::lock_guard<std::mutex> delivering(delivery_);
    received_ = nullptr;
    vanished_ = nullptr;
}

std::size_t MemoryLine::PortRead(std::uint8_t* buffer, std::size_t count) {
    std::lock_guard<std::mutex> guard(data_);
    return TakeFrom(toPort_, buffer, count);
}

std::size_t MemoryLine::PortWrite(const std::uint8_t* data, std::size_t count) {
    std::lock_guard<std::mutex> guard(data_);
    if (hungUp_) {
        return 0;
    }
    toDevice_.insert(toDevice_.end(), data, data + count);
    // Under the lock, so that no wake reaches a device whose end has closed.
    if (deviceWake_) {
        deviceWake_();
    }
    return count;
}

std::size_t MemoryLine::PortWaiting() const {
    std::lock_guard<std::mutex> guard(data_);
    return toPort_.size();
}

namespace memory_ports {

void Plug(int number, std::shared_ptr<MemoryLine> line) {
    std::lock_guard<std::mutex> guard(registryLock);
    Registry()[number] = std::move(line);
}

void Unplug(int number) {
    std::lock_guard<std::mutex> guard(registryLock);
    Registry().erase(number);
}

std::vector<int> Numbers() {
    std::lock_guard<std::mutex> guard(registryLock);
    std::vector<int> numbers;
    for (const auto& [number, line] : Registry()) {
        numbers.push_back(number);
    }
    return numbers;
}

std::string PathOf(int number) {
    return kPathPrefix + std::to_string(number);
}

bool NamesMemoryLine(const std::string& path) {
    return path.rfind(kPathPrefix, 0) == 0;
}

std::shared_ptr<MemoryLine> Find(const std::string& path) {
    std::lock_guard<std::mutex> guard(registryLock);
    for (const auto& [number, line] : Registry()) {
        if (path == PathOf(number)) {
            return line;
        }
    }
    return nullptr;
}

}  // namespace memory_ports
