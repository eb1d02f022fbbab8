#include "serial/com_port.h"

#include "serial/memory_line.h"
#include "serial/port_diagnosis.h"

namespace {

// What a missing device file gives: ENOENT and ERROR_FILE_NOT_FOUND alike.
constexpr int kNoSuchPort = 2;

}  // namespace

void ComPort::Log(const std::string& text) const {
    if (logSink_) {
        logSink_(text);
    }
}

std::string ComPort::ResolveDevicePath() const {
    if (!devicePath_.empty()) {
        return devicePath_;
    }
    return PortDevicePath(ports_, portNumber_).value_or(std::string());
}

void ComPort::MarkOpened() {
    vanished_ = false;
    ++openCount_;
    open_ = true;
}

bool ComPort::OpenPort(std::uint32_t baud) {
    const std::string prefix = "Open COM " + std::to_string(portNumber_) + " : ";
    if (IsOpen()) {
        ClosePort();
    }
    if (portNumber_ == 0) {
        return false;
    }
    const std::string path = ResolveDevicePath();
    lastOpenPath_ = path;
    lastOpenError_ =
        memory_ports::NamesMemoryLine(path) ? OpenMemory(path) : OpenNative(path, baud);
    if (lastOpenError_ != 0) {
        Log(prefix + "Error");
        if (!path.empty()) {
            Log(PortOpenFailureText(path, lastOpenError_));
        }
        return false;
    }
    Log(prefix + "OK");
    return true;
}

bool ComPort::ClosePort() {
    if (!IsOpen()) {
        return false;
    }
    if (memory_) {
        CloseMemory();
    } else {
        CloseNative();
    }
    Log("Close COM " + std::to_string(portNumber_) + " : OK");
    return true;
}

int ComPort::OpenMemory(const std::string& path) {
    std::shared_ptr<MemoryLine> line = memory_ports::Find(path);
    if (!line) {
        return kNoSuchPort;
    }
    {
        std::lock_guard<std::mutex> guard(portLock_);
        memory_ = line;
    }
    MarkOpened();
    const bool attached = line->Attach([this](std::size_t waiting) { OnDataReceived(waiting); },
                                       [this] {
                                           vanished_ = true;
                                           OnVanished();
                                       });
    if (!attached) {
        CloseMemory();
        return kNoSuchPort;
    }
    return 0;
}

void ComPort::CloseMemory() {
    // After Detach no handler runs any more, as after the reader's join.
    memory_->Detach();
    std::lock_guard<std::mutex> guard(portLock_);
    open_ = false;
    memory_.reset();
}

std::size_t ComPort::ReadBytes(std::uint8_t* buffer, std::size_t count) {
    if (!IsOpen() || count == 0 || buffer == nullptr) {
        return 0;
    }
    {
        std::lock_guard<std::mutex> guard(portLock_);
        if (memory_) {
            return memory_->PortRead(buffer, count);
        }
    }
    return ReadNative(buffer, count);
}

std::size_t ComPort::WriteBytes(const std::uint8_t* buffer, std::size_t count) {
    if (!IsOpen() || buffer == nullptr) {
        return 0;
    }
    {
        std::lock_guard<std::mutex> guard(portLock_);
        if (memory_) {
            return memory_->PortWrite(buffer, count);
        }
    }
    return WriteNative(buffer, count);
}
