#pragma once

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

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
    explicit RawClient(const std::string& path) {
        fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ >= 0) {
            termios settings{};
            tcgetattr(fd_, &settings);
            cfmakeraw(&settings);
            cfsetspeed(&settings, B230400);
            tcsetattr(fd_, TCSANOW, &settings);
            tcflush(fd_, TCIOFLUSH);
        }
    }
    ~RawClient() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }

    bool IsOpen() const { return fd_ >= 0; }

    // Sends group/code/data from channel `channel` (the group by default).
    bool Send(int group, int code, const std::vector<std::uint8_t>& data = {}, int channel = -1) {
        std::vector<std::uint8_t> packet{0x00,
                                         0x01,
                                         0x00,
                                         static_cast<std::uint8_t>(channel < 0 ? group : channel),
                                         static_cast<std::uint8_t>(group),
                                         static_cast<std::uint8_t>(code)};
        packet.insert(packet.end(), data.begin(), data.end());
        FrameEncoder encoder;
        const std::size_t length = encoder.Encode(packet.data(), packet.size());
        return length > 0 && SendRaw({encoder.Data(), encoder.Data() + length});
    }
    bool SendRaw(const std::vector<std::uint8_t>& bytes) {
        return fd_ >= 0 &&
               write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

    // The next decoded packet, or none after `timeout`.
    std::optional<std::vector<std::uint8_t>> Receive(
        std::chrono::milliseconds timeout = std::chrono::milliseconds(1000)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (fd_ >= 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() < 0) {
                return std::nullopt;
            }
            pollfd fd{fd_, POLLIN, 0};
            if (poll(&fd, 1, static_cast<int>(left.count())) <= 0 || !(fd.revents & POLLIN)) {
                if (fd.revents & (POLLHUP | POLLERR)) {
                    return std::nullopt;
                }
                continue;
            }
            std::uint8_t byte = 0;
            while (read(fd_, &byte, 1) == 1) {
                if (decoder_.Push(byte)) {
                    return std::vector<std::uint8_t>(decoder_.Packet(),
                                                     decoder_.Packet() + decoder_.PacketLength());
                }
            }
        }
        return std::nullopt;
    }

    // Send and receive; the answer's data (after group and code) when the
    // answer matches the request (answer bit set, same group and code).
    std::optional<std::vector<std::uint8_t>> Ask(
        int group, int code, const std::vector<std::uint8_t>& data = {},
        std::chrono::milliseconds timeout = std::chrono::milliseconds(1000)) {
        if (!Send(group, code, data)) {
            return std::nullopt;
        }
        const auto answer = Receive(timeout);
        if (!answer || answer->size() < 6 || !((*answer)[4] & 0x40) ||
            ((*answer)[4] & 0x3F) != group || ((*answer)[5] & 0x3F) != code) {
            return std::nullopt;
        }
        return std::vector<std::uint8_t>(answer->begin() + 6, answer->end());
    }

    // True when the port reports a hang-up or read fails within `timeout`.
    bool SeesHangUp(std::chrono::milliseconds timeout) {
        pollfd fd{fd_, POLLIN, 0};
        if (poll(&fd, 1, static_cast<int>(timeout.count())) <= 0) {
            return false;
        }
        if (fd.revents & (POLLHUP | POLLERR)) {
            return true;
        }
        std::uint8_t byte = 0;
        return read(fd_, &byte, 1) <= 0;
    }

  private:
    int fd_ = -1;
    FrameDecoder decoder_;
};

inline std::vector<std::uint8_t> Le32(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

inline std::vector<std::uint8_t> Le16(std::uint16_t value) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
}

inline std::uint32_t ReadLe32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes.at(at)) | bytes.at(at + 1) << 8 |
           bytes.at(at + 2) << 16 | static_cast<std::uint32_t>(bytes.at(at + 3)) << 24;
}

inline std::vector<std::uint8_t> Concat(std::initializer_list<std::vector<std::uint8_t>> parts) {
    std::vector<std::uint8_t> out;
    for (const auto& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}
