#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "protocol/frame.h"

// The requester's end in its plainest form: frames over an opened port path,
// one answer awaited with a bound. Enough to test the device side without the
// program's command layer.
class RawClient {
  public:
    explicit RawClient(const std::string& path);
    ~RawClient();

    bool IsOpen() const { return fd_ >= 0; }

    // Sends group/code/data from channel `channel` (the group by default).
    bool Send(int group, int code, const std::vector<std::uint8_t>& data = {}, int channel = -1);
    bool SendRaw(const std::vector<std::uint8_t>& bytes);

    // The next decoded packet, or none after `timeout`.
    std::optional<std::vector<std::uint8_t>> Receive(
        std::chrono::milliseconds timeout = std::chrono::milliseconds(1000));

    // Send and receive; the answer's data (after group and code) when the
    // answer matches the request (answer bit set, same group and code).
    std::optional<std::vector<std::uint8_t>> Ask(
        int group, int code, const std::vector<std::uint8_t>& data = {},
        std::chrono::milliseconds timeout = std::chrono::milliseconds(1000));

    // True when the port reports a hang-up or read fails within `timeout`.
    bool SeesHangUp(std::chrono::milliseconds timeout);

  private:
    int fd_ = -1;
    FrameDecoder decoder_;
};

std::vector<std::uint8_t> Le32(std::uint32_t value);
std::vector<std::uint8_t> Le16(std::uint16_t value);
std::uint32_t ReadLe32(const std::vector<std::uint8_t>& bytes, std::size_t at);
std::vector<std::uint8_t> Concat(std::initializer_list<std::vector<std::uint8_t>> parts);
