#pragma once

#include <functional>

#include "protocol/device_stack.h"
#include "serial/connection_manager.h"
#include "serial/connection_port.h"
#include "serial/port_entry_check.h"
#include "serial/port_list.h"

struct DeviceSessionOptions {
    DeviceStackOptions stack;
    // Read at every connection test: false while a long operation owns the link.
    std::function<bool()> linkCheckEnabled;
    std::function<void(const LinkIndicator&)> showIndicator;
    // A port the connection manager tried could not be opened (`error` is the
    // errno value), or opened; either may be left empty.
    std::function<void(int port, const std::string& path, int error)> openFailed;
    std::function<void(int port)> opened;
};

// The program's one link to a dosimeter: the port list, the port with its
// transport and command set, and the connection manager that drives them.
class DeviceSession {
  public:
    static constexpr std::uint32_t kBaudRate = 230400;
    static constexpr const char* kConnectionTestEcho = "Ferandol";

    explicit DeviceSession(DeviceSessionOptions options);

    PortList& Ports() { return ports_; }
    DeviceStack& Stack() { return stack_; }
    DeviceCommands& Commands() { return stack_.Commands(); }
    ConnectionManager& Connection() { return manager_; }
    bool Connected() const { return manager_.State().Connected; }

    // The connection test over any stack: 1 the device echoed, 0 no or a
    // wrong answer, negative when it could not be tried.
    static int ConnectionTest(DeviceCommands& commands);

  private:
    // The connection manager's view of the port: open always means 230400 baud.
    class PortAdapter final : public ConnectionPort {
      public:
        PortAdapter(ComPort& port, const DeviceSessionOptions& options)
            : port_(port), openFailed_(options.openFailed), opened_(options.opened) {}
        void SetPortNumber(int number) override { port_.SetPortNumber(number); }
        int PortNumber() const override { return port_.PortNumber(); }
        bool Open() override;
        void Close() override { port_.ClosePort(); }
        bool IsOpen() const override { return port_.IsOpen(); }

      private:
        ComPort& port_;
        std::function<void(int, const std::string&, int)> openFailed_;
        std::function<void(int)> opened_;
    };

    // Entries of the port folder that are no port, each logged once.
    PortEntrySkipLog skippedEntries_;
    PortList ports_;
    DeviceStack stack_;
    PortAdapter portAdapter_;
    ConnectionManager manager_;
};
