#include "protocol/device_stack.h"

DeviceStack::DeviceStack(DeviceStackOptions options)
    : port_(std::move(options.ports)),
      link_(port_, std::move(options.clock), options.stop, options.dialogs),
      commands_(link_, options.log) {
    if (options.log != nullptr) {
        port_.SetLogSink(options.log->Sink());
        if (options.logRetries) {
            link_.SetRetryLog(options.log->Sink());
        }
    }
    port_.Attach(&link_);
}

DeviceStack::~DeviceStack() {
    // The reader thread calls into the link: stop it before the link goes.
    port_.ClosePort();
    port_.Attach(nullptr);
}

bool DeviceStack::Open(int portNumber) {
    port_.ClosePort();
    port_.SetDevicePath({});
    port_.SetPortNumber(portNumber);
    return port_.OpenPort(ComPort::kDefaultBaud);
}

bool DeviceStack::OpenPath(const std::string& devicePath, int portNumber) {
    port_.ClosePort();
    port_.SetDevicePath(devicePath);
    port_.SetPortNumber(portNumber);
    return port_.OpenPort(ComPort::kDefaultBaud);
}

void DeviceStack::Close() {
    port_.ClosePort();
}
