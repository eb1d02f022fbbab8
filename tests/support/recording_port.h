#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "serial/com_port.h"

// A port that keeps its log lines and everything its reader thread hands over.
class RecordingPort : public ComPort {
  public:
    explicit RecordingPort(PortTableConfig config) : ComPort(std::move(config)) {
        SetLogSink([this](const std::string& line) { log.push_back(line); });
    }
    ~RecordingPort() override { ClosePort(); }

    void OnDataReceived(std::size_t count) override {
        std::uint8_t buffer[1000];
        const std::size_t got = ReadBytes(buffer, std::min(count, sizeof buffer));
        std::lock_guard<std::mutex> guard(lock_);
        received_.insert(received_.end(), buffer, buffer + got);
        arrived_.notify_all();
    }

    // What arrived once `count` bytes have, or after two seconds.
    std::vector<std::uint8_t> WaitForBytes(std::size_t count) {
        std::unique_lock<std::mutex> guard(lock_);
        arrived_.wait_for(guard, std::chrono::seconds(2),
                          [&] { return received_.size() >= count; });
        return received_;
    }

    std::vector<std::string> log;

  private:
    std::mutex lock_;
    std::condition_variable arrived_;
    std::vector<std::uint8_t> received_;
};
