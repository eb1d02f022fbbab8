#include "protocol/device_session.h"

#include <cstring>

#include "serial/port_table.h"

DeviceSession::DeviceSession(DeviceSessionOptions options)
    : ports_([config = options.stack.ports] { return EnumeratePortNames(config); }),
      stack_(options.stack),
      portAdapter_(stack_.Port()),
      manager_(
          ports_, portAdapter_,
          ConnectionHooks{[this] { return ConnectionTest(stack_.Commands()); },
                          std::move(options.linkCheckEnabled), std::move(options.showIndicator)}) {
    if (options.stack.log != nullptr) {
        ports_.SetLogSink(options.stack.log->Sink());
    }
}

int DeviceSession::ConnectionTest(DeviceCommands& commands) {
    const auto* echo = reinterpret_cast<const std::uint8_t*>(kConnectionTestEcho);
    return commands.Test(echo, static_cast<int>(std::strlen(kConnectionTestEcho)), false);
}
