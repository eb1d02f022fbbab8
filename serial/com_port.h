#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "base/app_log.h"
#include "serial/port_table.h"

// The one serial port of the program. A reader thread waits for received bytes
// and hands their count to OnDataReceived, whose override reads and decodes them.
// Reads and writes are serialised by the port lock.
//
// A subclass must call ClosePort in its own destructor: once the subclass part is
// gone the reader thread could no longer call its OnDataReceived.
class ComPort {
  public:
    static constexpr std::uint32_t kDefaultBaud = 230400;

    explicit ComPort(PortTableConfig ports = PortTableConfig::FromEnvironment());
    virtual ~ComPort();
    ComPort(const ComPort&) = delete;
    ComPort& operator=(const ComPort&) = delete;

    // Called on the reader thread with the number of bytes waiting (at least 1).
    virtual void OnDataReceived(std::size_t count) = 0;
    // Called on the reader thread once the device vanished.
    virtual void OnVanished() {}

    // Opens the port named by PortNumber(); an open port is closed first.
    bool OpenPort(std::uint32_t baud);
    // False when the port was not open.
    bool ClosePort();
    bool IsOpen() const { return fd_.load() >= 0; }

    // Both return the count transferred; 0 when closed or on failure. Each is
    // bounded in time: 100 ms plus 100 ms per byte.
    std::size_t ReadBytes(std::uint8_t* buffer, std::size_t count);
    std::size_t WriteBytes(const std::uint8_t* buffer, std::size_t count);

    // Change only while the port is closed.
    int PortNumber() const { return portNumber_; }
    void SetPortNumber(int number) { portNumber_ = number; }

    // A device path that takes the place of the port table's (for a port not in
    // the table, such as a bare pseudo-terminal); empty uses the table.
    void SetDevicePath(std::string path) { devicePath_ = std::move(path); }

    void SetLogSink(LogSink sink) { logSink_ = std::move(sink); }

    // True once the reader saw the device vanish (hang-up, I/O error); cleared at open.
    bool DeviceVanished() const { return vanished_.load(); }
    // Counts the successful opens, so a wait can tell that the port it
    // started on was closed and opened again meanwhile.
    std::uint32_t OpenCount() const { return openCount_.load(); }
    // Why the last open failed (an errno value, 0 after a success), and the
    // device path it tried.
    int LastOpenError() const { return lastOpenError_; }
    const std::string& LastOpenPath() const { return lastOpenPath_; }

  private:
    void Log(const std::string& text) const;
    std::string ResolveDevicePath() const;
    bool Configure(int fd, std::uint32_t baud) const;
    void StartReader();
    void StopReader();
    void ReaderLoop(int fd, int stopFd);
    void WaitForStop(int stopFd);
    // Moves `count` bytes under the port lock, one `step(fd, done)` at a time,
    // waiting for `waitEvent` while the port would block, up to the deadline.
    template <typename Step>
    std::size_t Transfer(std::size_t count, short waitEvent, Step step);

    PortTableConfig ports_;
    std::string devicePath_;
    std::atomic<int> fd_{-1};
    int stopFd_ = -1;
    std::mutex portLock_;
    std::thread reader_;
    int portNumber_ = 0;
    LogSink logSink_;
    std::atomic<bool> vanished_{false};
    std::atomic<std::uint32_t> openCount_{0};
    int lastOpenError_ = 0;
    std::string lastOpenPath_;
};
