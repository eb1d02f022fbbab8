#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "base/app_log.h"
#include "serial/port_table.h"

// The one serial port of the program. A reader thread waits for received bytes
// and hands their count to OnDataReceived, whose override reads and decodes them.
// Reads and writes are serialised by the port lock. The system's side (the
// handles, the line settings, the reader's wait) is com_port_posix.cpp on Linux
// and com_port_win.cpp on Windows.
//
// A subclass must call ClosePort in its own destructor: once the subclass part is
// gone the reader thread could no longer call its OnDataReceived.
//
// A line with no system handle behind it (a test's in-memory peer) overrides
// the transfers and the native open and close.
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
    bool IsOpen() const { return open_.load(); }

    // Both return the count transferred; 0 when closed or on failure. Each is
    // bounded in time: 100 ms plus 100 ms per byte.
    virtual std::size_t ReadBytes(std::uint8_t* buffer, std::size_t count);
    virtual std::size_t WriteBytes(const std::uint8_t* buffer, std::size_t count);

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
    // Why the last open failed (the system's error code: errno on Linux,
    // GetLastError on Windows; 0 after a success), and the device path it tried.
    int LastOpenError() const { return lastOpenError_; }
    const std::string& LastOpenPath() const { return lastOpenPath_; }

  protected:
    // Opens and configures `path` and starts the reader; the system's error
    // code when that failed, 0 on success.
    virtual int OpenNative(const std::string& path, std::uint32_t baud);
    // Stops the reader, then closes the handles.
    virtual void CloseNative();
    // Called by OpenNative once the handles are ready, before the reader starts.
    void MarkOpened();
    // Called by CloseNative once nothing transfers any more.
    void MarkClosed() { open_ = false; }

  private:
    // The system's handles of an open port and its reader thread.
    class Native;

    void Log(const std::string& text) const;
    std::string ResolveDevicePath() const;
    // The reader thread's body: waits for received bytes until stopped, and
    // marks the port vanished when the device is gone.
    void ReaderLoop();

    PortTableConfig ports_;
    std::string devicePath_;
    std::unique_ptr<Native> native_;
    std::atomic<bool> open_{false};
    std::mutex portLock_;
    int portNumber_ = 0;
    LogSink logSink_;
    std::atomic<bool> vanished_{false};
    std::atomic<std::uint32_t> openCount_{0};
    int lastOpenError_ = 0;
    std::string lastOpenPath_;
};
