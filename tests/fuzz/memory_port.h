#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "serial/com_port.h"

// A port whose line is two byte queues in memory, with no reader thread: what
// the program writes waits in Sent() for the peer, and what the peer puts in
// is read by whoever the peer tells that bytes came (as the reader would).
class MemoryPort final : public ComPort {
  public:
    MemoryPort() : ComPort(PortTableConfig{.portDir = {}, .systemPorts = false}) {
        SetPortNumber(1);
        SetDevicePath("memory");
    }
    ~MemoryPort() override { ClosePort(); }

    std::size_t ReadBytes(std::uint8_t* buffer, std::size_t count) override {
        if (!IsOpen() || buffer == nullptr) {
            return 0;
        }
        const std::size_t moved = std::min(count, incoming_.size());
        std::copy_n(incoming_.begin(), moved, buffer);
        incoming_.erase(incoming_.begin(), incoming_.begin() + static_cast<long>(moved));
        return moved;
    }
    std::size_t WriteBytes(const std::uint8_t* buffer, std::size_t count) override {
        if (!IsOpen() || buffer == nullptr) {
            return 0;
        }
        sent_.insert(sent_.end(), buffer, buffer + count);
        return count;
    }
    void OnDataReceived(std::size_t) override {}

    void Put(const std::uint8_t* bytes, std::size_t count) {
        incoming_.insert(incoming_.end(), bytes, bytes + count);
    }
    std::size_t Waiting() const { return incoming_.size(); }
    std::vector<std::uint8_t>& Sent() { return sent_; }

  protected:
    int OpenNative(const std::string&, std::uint32_t) override {
        incoming_.clear();
        sent_.clear();
        MarkOpened();
        return 0;
    }
    void CloseNative() override { MarkClosed(); }

  private:
    std::vector<std::uint8_t> incoming_;
    std::vector<std::uint8_t> sent_;
};
