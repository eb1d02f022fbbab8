#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "protocol/device_records.h"
#include "unit/serial/pty_peer.h"

// The device side of a pseudo-terminal: answers TEST, SOFT_INFO, BOARD_INFO and
// MEM_READ from a small memory map, with exactly the records a test asks for.
// Configure it before the program side opens SlavePath().
class ScriptedDevice {
  public:
    const std::string& SlavePath() const { return pty_.SlavePath(); }

    void SetSoftInfo(const SoftInfo& soft) {
        testing_pty::Bytes bytes(SoftInfo::kSize);
        WriteLe16(bytes.data(), soft.bootVersion);
        WriteLe16(bytes.data() + 2, soft.mainVersion);
        WriteLe32(bytes.data() + 4, soft.cpuInfoAddress);
        std::lock_guard<std::mutex> guard(lock_);
        softInfo_ = bytes;
    }
    void SetBoardInfo(const BoardInfo& board) {
        testing_pty::Bytes bytes(BoardInfo::kSize);
        WriteLe16(bytes.data(), board.boardCode);
        bytes[2] = board.revision;
        bytes[3] = board.variant;
        std::lock_guard<std::mutex> guard(lock_);
        boardInfo_ = bytes;
    }
    void Poke(std::uint32_t address, const std::vector<std::uint8_t>& bytes) {
        std::lock_guard<std::mutex> guard(lock_);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            memory_[address + static_cast<std::uint32_t>(i)] = bytes[i];
        }
    }
    // Answers the first `count` requests, then falls silent.
    void StopAnsweringAfter(int count) {
        std::lock_guard<std::mutex> guard(lock_);
        answerLimit_ = count;
    }

    // (group, code) of every request received, resends included.
    std::vector<std::pair<std::uint8_t, std::uint8_t>> Requests() const {
        std::lock_guard<std::mutex> guard(lock_);
        return requests_;
    }

  private:
    static constexpr std::uint8_t kAnswerBit = 0x40;
    static constexpr std::uint8_t kGroupMain = 0x01;
    static constexpr std::uint8_t kCodeTest = 0x00;
    static constexpr std::uint8_t kCodeSoftInfo = 0x01;
    static constexpr std::uint8_t kCodeMemRead = 0x02;
    static constexpr std::uint8_t kCodeBoardInfo = 0x0A;
    static constexpr std::size_t kDataOffset = 6;
    static constexpr std::size_t kAddressAndLength = 5;
    // Memory nobody wrote reads as erased flash.
    static constexpr std::uint8_t kErased = 0xFF;

    testing_pty::Bytes Respond(const testing_pty::Bytes& request) {
        if (request.size() < kDataOffset) {
            return {};
        }
        const std::uint8_t group = request[4];
        const std::uint8_t code = request[5];
        const testing_pty::Bytes data(request.begin() + kDataOffset, request.end());

        std::lock_guard<std::mutex> guard(lock_);
        requests_.emplace_back(group, code);
        if ((answerLimit_ >= 0 && static_cast<int>(requests_.size()) > answerLimit_) ||
            group != kGroupMain) {
            return {};
        }
        testing_pty::Bytes answer;
        if (code == kCodeTest) {
            answer = data;
        } else if (code == kCodeSoftInfo && !softInfo_.empty()) {
            answer = softInfo_;
        } else if (code == kCodeBoardInfo && !boardInfo_.empty()) {
            answer = boardInfo_;
        } else if (code == kCodeMemRead && data.size() == kAddressAndLength) {
            const std::uint32_t address = ReadLe32(data.data());
            answer = data;
            for (std::uint32_t i = 0; i < data[4]; ++i) {
                const auto cell = memory_.find(address + i);
                answer.push_back(cell == memory_.end() ? kErased : cell->second);
            }
        } else {
            return {};
        }
        // One buffer sized up front: gcc 12 misreads an insert after the six-byte
        // header as out of bounds.
        testing_pty::Bytes packet{
            0x00, request[3], 0x00, 0x01, static_cast<std::uint8_t>(group | kAnswerBit), code};
        packet.resize(kDataOffset + answer.size());
        std::copy(answer.begin(), answer.end(), packet.begin() + kDataOffset);
        return testing_pty::Frame(packet);
    }

    testing_pty::PtyPair pty_;
    mutable std::mutex lock_;
    testing_pty::Bytes softInfo_;
    testing_pty::Bytes boardInfo_;
    std::map<std::uint32_t, std::uint8_t> memory_;
    int answerLimit_ = -1;
    std::vector<std::pair<std::uint8_t, std::uint8_t>> requests_;
    // Last: its thread stops before the state it reads goes away.
    testing_pty::ThreadedResponder responder_{
        pty_, [this](const testing_pty::Bytes& request) { return Respond(request); }};
};
