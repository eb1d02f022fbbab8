#include "serial/com_port.h"

#include "serial/port_diagnosis.h"

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
    lastOpenError_ = OpenNative(path, baud);
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
    CloseNative();
    Log("Close COM " + std::to_string(portNumber_) + " : OK");
    return true;
}
