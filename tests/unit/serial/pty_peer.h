#pragma once

// The device side of a pseudo-terminal for tests and benchmarks: the program
// opens the slave path as its serial port, the peer reads requests from the
// master and writes framed answers back.

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "protocol/frame.h"

namespace testing_pty {

using Bytes = std::vector<std::uint8_t>;

inline Bytes Frame(const Bytes& packet) {
    FrameEncoder encoder;
    const std::size_t length = encoder.Encode(packet.data(), packet.size());
    return Bytes(encoder.Data(), encoder.Data() + length);
}

// The answer packet to `request`: addressed to the requesting channel, group
// with the answer bit, same code, then `data`.
inline Bytes AnswerPacket(const Bytes& request, const Bytes& data) {
    Bytes packet{
        0x00,         request.at(3), 0x00, 0x01, static_cast<std::uint8_t>(request.at(4) | 0x40),
        request.at(5)};
    // Byte by byte: GCC 12 reports a false array-bounds warning for a range
    // insert into a freshly listed vector.
    for (const std::uint8_t byte : data) {
        packet.push_back(byte);
    }
    return packet;
}

// A pseudo-terminal whose slave stays open on the peer's side too, so the
// master never reads a hang-up between the program's opens.
class PtyPair {
  public:
    PtyPair() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
            throw std::runtime_error("no pseudo-terminal");
        }
        slavePath_ = ptsname(master_);
        slave_ = open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios settings{};
        tcgetattr(slave_, &settings);
        cfmakeraw(&settings);
        tcsetattr(slave_, TCSANOW, &settings);
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
    ~PtyPair() { HangUp(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& SlavePath() const { return slavePath_; }
    int Master() const { return master_; }

    // Closes both of the peer's ends: the program's port sees the device vanish.
    void HangUp() {
        if (slave_ >= 0) {
            close(slave_);
            slave_ = -1;
        }
        if (master_ >= 0) {
            close(master_);
            master_ = -1;
        }
    }

    // Answer bytes written to the master that the program has not read yet (a
    // poll first moves them through the terminal's buffers).
    bool ProgramHasUnread() const {
        if (slave_ < 0) {
            return false;
        }
        pollfd entry{slave_, POLLIN, 0};
        return poll(&entry, 1, 0) > 0 && (entry.revents & POLLIN) != 0;
    }

    void Write(const Bytes& bytes) const {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t put = write(master_, bytes.data() + done, bytes.size() - done);
            if (put > 0) {
                done += static_cast<std::size_t>(put);
            } else {
                pollfd entry{master_, POLLOUT, 0};
                poll(&entry, 1, 100);
            }
        }
    }

  private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

// Reads whatever the master holds and returns the request packets completed.
class RequestReader {
  public:
    explicit RequestReader(const PtyPair& pty) : pty_(pty) {}

    std::vector<Bytes> Drain() {
        std::vector<Bytes> packets;
        std::uint8_t buffer[512];
        for (;;) {
            const ssize_t got = read(pty_.Master(), buffer, sizeof buffer);
            if (got <= 0) {
                return packets;
            }
            for (ssize_t i = 0; i < got; ++i) {
                if (decoder_.Push(buffer[i])) {
                    packets.emplace_back(decoder_.Packet(),
                                         decoder_.Packet() + decoder_.PacketLength());
                }
            }
        }
    }

  private:
    const PtyPair& pty_;
    FrameDecoder decoder_;
};

// Returns the raw bytes to write back for one request (empty: stay silent).
using Script = std::function<Bytes(const Bytes& request)>;

// Answers on the caller's thread when asked to, so a test on a fake clock
// decides exactly when each request is seen.
class ScriptedPeer {
  public:
    ScriptedPeer(const PtyPair& pty, Script script) : pty_(pty), reader_(pty), script_(script) {}

    // Answers every request the program has sent so far, stamped with `now`;
    // true when there was one. Needs no wait: a poll moves what the program
    // wrote through the terminal's buffers, so every finished write is seen.
    bool Service(std::uint32_t now) {
        pollfd entry{pty_.Master(), POLLIN, 0};
        if (poll(&entry, 1, 0) <= 0) {
            return false;
        }
        const std::vector<Bytes> seen = reader_.Drain();
        for (const Bytes& request : seen) {
            requests.push_back(request);
            requestTimes.push_back(now);
            const Bytes reply = script_(request);
            if (!reply.empty()) {
                pty_.Write(reply);
            }
        }
        return !seen.empty();
    }

    std::vector<Bytes> requests;
    std::vector<std::uint32_t> requestTimes;

  private:
    const PtyPair& pty_;
    RequestReader reader_;
    Script script_;
};

// Answers on its own thread, blocked in poll() between requests, optionally
// after a delay: a device at the end of a cable.
class ThreadedResponder {
  public:
    ThreadedResponder(const PtyPair& pty, Script script,
                      std::chrono::microseconds delay = std::chrono::microseconds(0))
        : pty_(pty), script_(std::move(script)), delay_(delay) {
        stop_ = eventfd(0, EFD_CLOEXEC);
        thread_ = std::thread([this] { Run(); });
    }
    ~ThreadedResponder() {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t put = write(stop_, &one, sizeof one);
        thread_.join();
        close(stop_);
    }

    std::size_t RequestCount() const { return count_.load(); }

  private:
    void Run() {
        RequestReader reader(pty_);
        for (;;) {
            pollfd entries[2] = {{stop_, POLLIN, 0}, {pty_.Master(), POLLIN, 0}};
            if (poll(entries, 2, -1) < 0 || entries[0].revents != 0 ||
                (entries[1].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
                return;
            }
            for (const Bytes& request : reader.Drain()) {
                ++count_;
                const Bytes reply = script_(request);
                if (delay_.count() > 0) {
                    std::this_thread::sleep_for(delay_);
                }
                if (!reply.empty()) {
                    pty_.Write(reply);
                }
            }
        }
    }

    const PtyPair& pty_;
    Script script_;
    std::chrono::microseconds delay_;
    int stop_ = -1;
    std::atomic<std::size_t> count_{0};
    std::thread thread_;
};

// Echoes every request back as its answer: the answer data is the request data.
inline Bytes EchoAnswer(const Bytes& request) {
    return Frame(AnswerPacket(request, Bytes(request.begin() + 6, request.end())));
}

}  // namespace testing_pty
