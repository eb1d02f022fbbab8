#pragma once

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

    void SetSoftInfo(const SoftInfo& soft);
    void SetBoardInfo(const BoardInfo& board);
    void Poke(std::uint32_t address, const std::vector<std::uint8_t>& bytes);
    // Answers the first `count` requests, then falls silent.
    void StopAnsweringAfter(int count);

    // (group, code) of every request received, resends included.
    std::vector<std::pair<std::uint8_t, std::uint8_t>> Requests() const;

  private:
    testing_pty::Bytes Respond(const testing_pty::Bytes& request);

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
