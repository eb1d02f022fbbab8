#include "integration/ident/scripted_device.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

#include "protocol/frame.h"

namespace {

constexpr std::uint8_t kAnswerBit = 0x40;
constexpr std::uint8_t kGroupMain = 0x01;
constexpr std::uint8_t kCodeTest = 0x00;
constexpr std::uint8_t kCodeSoftInfo = 0x01;
constexpr std::uint8_t kCodeMemRead = 0x02;
constexpr std::uint8_t kCodeBoardInfo = 0x0A;
constexpr std::size_t kHeader = 4;
// Memory nobody wrote reads as erased flash.
constexpr std::uint8_t kErased = 0xFF;

void WriteAll(int fd, const std::uint8_t* bytes, std::size_t count) {
    while (count > 0) {
        const ssize_t written = write(fd, bytes, count);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;
        }
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
}

}  // namespace

ScriptedDevice::ScriptedDevice() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        throw std::runtime_error("no pseudo-terminal");
    }
    slavePath_ = ptsname(master_);
    // Holding the slave open keeps the master from reporting a hang-up while
    // the program side is closed; raw mode keeps the bytes as they are.
    heldSlave_ = open(slavePath_.c_str(), O_RDWR | O_NOCTTY);
    termios settings{};
    if (heldSlave_ < 0 || tcgetattr(heldSlave_, &settings) != 0) {
        throw std::runtime_error("pseudo-terminal slave does not open");
    }
    cfmakeraw(&settings);
    tcsetattr(heldSlave_, TCSANOW, &settings);
    stop_ = eventfd(0, EFD_CLOEXEC);
    server_ = std::thread([this] { Serve(); });
}

ScriptedDevice::~ScriptedDevice() {
    const std::uint64_t one = 1;
    WriteAll(stop_, reinterpret_cast<const std::uint8_t*>(&one), sizeof one);
    server_.join();
    close(stop_);
    close(heldSlave_);
    close(master_);
}

void ScriptedDevice::SetSoftInfo(const SoftInfo& soft) {
    std::vector<std::uint8_t> bytes(SoftInfo::kSize);
    WriteLe16(bytes.data(), soft.bootVersion);
    WriteLe16(bytes.data() + 2, soft.mainVersion);
    WriteLe32(bytes.data() + 4, soft.cpuInfoAddress);
    std::lock_guard<std::mutex> guard(lock_);
    softInfo_ = bytes;
}

void ScriptedDevice::SetBoardInfo(const BoardInfo& board) {
    std::vector<std::uint8_t> bytes(BoardInfo::kSize);
    WriteLe16(bytes.data(), board.boardCode);
    bytes[2] = board.revision;
    bytes[3] = board.variant;
    std::lock_guard<std::mutex> guard(lock_);
    boardInfo_ = bytes;
}

void ScriptedDevice::Poke(std::uint32_t address, const std::vector<std::uint8_t>& bytes) {
    std::lock_guard<std::mutex> guard(lock_);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        memory_[address + static_cast<std::uint32_t>(i)] = bytes[i];
    }
}

void ScriptedDevice::StopAnsweringAfter(int count) {
    std::lock_guard<std::mutex> guard(lock_);
    answerLimit_ = count;
}

std::vector<std::pair<std::uint8_t, std::uint8_t>> ScriptedDevice::Requests() const {
    std::lock_guard<std::mutex> guard(lock_);
    return requests_;
}

void ScriptedDevice::Serve() {
    FrameDecoder decoder;
    std::uint8_t buffer[256];
    for (;;) {
        pollfd waits[2] = {{master_, POLLIN, 0}, {stop_, POLLIN, 0}};
        if (poll(waits, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (waits[1].revents != 0) {
            return;
        }
        const ssize_t got = read(master_, buffer, sizeof buffer);
        if (got <= 0) {
            if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
                continue;
            }
            return;
        }
        for (ssize_t i = 0; i < got; ++i) {
            if (decoder.Push(buffer[i])) {
                Handle(decoder.Packet(), decoder.PacketLength());
            }
        }
    }
}

void ScriptedDevice::Handle(const std::uint8_t* packet, std::size_t length) {
    if (length < kHeader + 2) {
        return;
    }
    const std::uint8_t channel = packet[3] & 0x1F;
    const std::uint8_t group = packet[4];
    const std::uint8_t code = packet[5];
    const std::uint8_t* data = packet + kHeader + 2;
    const std::size_t dataLength = length - kHeader - 2;

    std::vector<std::uint8_t> answer;
    {
        std::lock_guard<std::mutex> guard(lock_);
        requests_.emplace_back(group, code);
        if (answerLimit_ >= 0 && static_cast<int>(requests_.size()) > answerLimit_) {
            return;
        }
        if (group != kGroupMain) {
            return;
        }
        if (code == kCodeTest) {
            answer.assign(data, data + dataLength);
        } else if (code == kCodeSoftInfo && !softInfo_.empty()) {
            answer = softInfo_;
        } else if (code == kCodeBoardInfo && !boardInfo_.empty()) {
            answer = boardInfo_;
        } else if (code == kCodeMemRead && dataLength == 5) {
            const std::uint32_t address = ReadLe32(data);
            answer.assign(data, data + 5);
            for (std::uint32_t i = 0; i < data[4]; ++i) {
                const auto cell = memory_.find(address + i);
                answer.push_back(cell == memory_.end() ? kErased : cell->second);
            }
        } else {
            return;
        }
    }
    Answer(channel, group, code, answer);
}

void ScriptedDevice::Answer(std::uint8_t channel, std::uint8_t group, std::uint8_t code,
                            const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> packet{
        0x00, channel, 0x00, 0x01, static_cast<std::uint8_t>(group | kAnswerBit), code};
    packet.insert(packet.end(), data.begin(), data.end());
    FrameEncoder encoder;
    const std::size_t frameLength = encoder.Encode(packet.data(), packet.size());
    WriteAll(master_, encoder.Data(), frameLength);
}
