#include "protocol/device_session.h"

#include <cstring>

#include "serial/port_table.h"

DeviceSession::DeviceSession(DeviceSessionOptions options)
    : ports_([this, config = options.stack.ports,
              sink = options.stack.log != nullptr ? options.stack.log->Sink() : LogSink()] {
          skippedEntries_.Check(config.portDir, sink);
          return EnumeratePortNames(config);
      }),
      stack_(options.stack),
      portAdapter_(stack_.Port(), options),
      manager_(
          ports_, portAdapter_,
          ConnectionHooks{[this] { return ConnectionTest(stack_.Commands()); },
                          std::move(options.linkCheckEnabled), std::move(options.showIndicator)}) {
    if (options.stack.log != nullptr) {
        ports_.SetLogSink(options.stack.log->Sink());
    }
}

bool DeviceSession::PortAdapter::Open() {
    if (port_.OpenPort(kBaudRate)) {
        if (opened_) {
            opened_(port_.PortNumber());
        }
        return true;
    }
    if (openFailed_) {
        openFailed_(port_.PortNumber(), port_.LastOpenPath(), port_.LastOpenError());
    }
    return false;
}

int DeviceSession::ConnectionTest(DeviceCommands& commands) {
    const auto* echo = reinterpret_cast<const std::uint8_t*>(kConnectionTestEcho);
    return commands.Test(echo, static_cast<int>(std::strlen(kConnectionTestEcho)), false);
}
