#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "protocol/device_records.h"

// The device side of a pseudo-terminal: answers TEST, SOFT_INFO, BOARD_INFO and
// MEM_READ from a small memory map, the way a dosimeter does. Configure it
// before the program side opens SlavePath().
class ScriptedDevice {
  public:
    ScriptedDevice();
    ~ScriptedDevice();
    ScriptedDevice(const ScriptedDevice&) = delete;
    ScriptedDevice& operator=(const ScriptedDevice&) = delete;

    const std::string& SlavePath() const { return slavePath_; }

    void SetSoftInfo(const SoftInfo& soft);
    void SetBoardInfo(const BoardInfo& board);
    void Poke(std::uint32_t address, const std::vector<std::uint8_t>& bytes);
    // Answers the first `count` requests, then falls silent, as a device pulled
    // out of its socket does.
    void StopAnsweringAfter(int count);

    // (group, code) of every request received, resends included.
    std::vector<std::pair<std::uint8_t, std::uint8_t>> Requests() const;

  private:
    void Serve();
    void Handle(const std::uint8_t* packet, std::size_t length);
    void Answer(std::uint8_t channel, std::uint8_t group, std::uint8_t code,
                const std::vector<std::uint8_t>& data);

    int master_ = -1;
    int heldSlave_ = -1;
    int stop_ = -1;
    std::string slavePath_;

    mutable std::mutex lock_;
    std::vector<std::uint8_t> softInfo_;
    std::vector<std::uint8_t> boardInfo_;
    std::map<std::uint32_t, std::uint8_t> memory_;
    int answerLimit_ = -1;
    std::vector<std::pair<std::uint8_t, std::uint8_t>> requests_;

    std::thread server_;
};
