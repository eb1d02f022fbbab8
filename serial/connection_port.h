#pragma once

// What the connection manager needs of the serial port. The program binds it to
// the ComPort (open at the device's 230400 baud); tests script it.
class ConnectionPort {
  public:
    virtual ~ConnectionPort() = default;
    virtual void SetPortNumber(int number) = 0;
    virtual int PortNumber() const = 0;
    // Opens the port chosen by SetPortNumber; false when it cannot be opened.
    virtual bool Open() = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
};
