#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/app_log.h"

// The machine's serial ports as "COM<n>"-style names, in the system's order.
using PortNameSource = std::function<std::vector<std::string>()>;

// Which ports the automatic connection tries, and in which order: the last
// connected port first, then ports that have just appeared, then the other
// known ones. Ports present at the first refresh are left out until they
// disappear and come back, so a device plugged in while the program runs is
// found first.
class PortList {
  public:
    static constexpr int kCapacity = 1000;
    static constexpr int kEmptyEntry = 255;

    explicit PortList(PortNameSource source);

    void Reset();
    void Refresh();

    int Count() const { return count_; }
    // Entries at `Count()` and beyond are meaningless.
    int ScanOrderAt(int index) const { return scanOrder_.at(index); }
    bool RestartScan() const { return restartScan_; }
    // False until the first refresh has recorded the ports present at start.
    bool StartPortsRecorded() const { return !firstRefresh_; }
    // The ports the first refresh found, ascending; empty until it ran. Any
    // thread may read them once StartPortsRecorded() said true.
    const std::vector<int>& StartPorts() const { return startPorts_; }

    int ScanPosition() const { return scanPosition_; }
    void SetScanPosition(int position) { scanPosition_ = position; }
    int LastConnectedPort() const { return lastConnectedPort_; }
    void SetLastConnectedPort(int port) { lastConnectedPort_ = port; }

    void SetLogSink(LogSink sink) { logSink_ = std::move(sink); }

    // The number at the end of a port name: "COM12" -> 12, "COM3A" -> 3, none -> 0.
    static int ParsePortNumber(std::string_view name);

    // Whether the name starts with "COM" (any case).
    static bool NamesComPort(std::string_view name);

    // Fills `entries` from the source: a port number for each name starting with
    // "COM" (any case), kEmptyEntry for any other. Returns the entries filled.
    int Enumerate(int* entries, int capacity) const;

    // Drops empty entries and repeats, keeping the order of first occurrence;
    // returns the number kept.
    static int Compact(int* entries, int count);

  private:
    enum PortState : std::uint8_t { Absent = 0, Present = 1, New = 2, LastConnected = 3 };

    std::string ListText(int kept) const;
    void LogListText(const std::string& text);
    void UpdateStates(int kept);
    void BuildScanOrder();

    PortNameSource source_;
    LogSink logSink_;
    int count_ = 0;
    std::array<int, kCapacity> raw_{};
    std::array<std::uint8_t, kCapacity> previous_{};
    std::array<std::uint8_t, kCapacity> current_{};
    std::array<int, kCapacity> scanOrder_{};
    std::array<bool, kCapacity> excluded_{};
    int lastConnectedPort_ = -1;
    bool restartScan_ = false;
    // Read by the window's thread while the worker refreshes.
    std::atomic<bool> firstRefresh_{true};
    std::vector<int> startPorts_;
    int scanPosition_ = 0;
    std::string lastLoggedText_;
};
