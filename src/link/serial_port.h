#pragma once
// The serial port as the program needs it: bytes in, bytes out, no events and no
// time-outs of its own (every wait is the program's).
#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

class SerialPort {
 public:
  virtual ~SerialPort() = default;
  // Port number 1..n; applied at the next Open.
  virtual void SetPortNumber(int number) = 0;
  virtual int PortNumber() const = 0;
  // "baud,parity,data bits,stop bits" such as "115200,N,8,1"; throws LinkError when
  // the text is not a valid setting.
  virtual void SetSettings(const std::string& settings) = 0;
  virtual std::string Settings() const = 0;
  virtual void SetReceiveBufferSize(int bytes) = 0;
  // Throws LinkError with a description when the port does not exist or is in use.
  virtual void Open() = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // Received bytes not yet taken.
  virtual int BytesWaiting() = 0;
  // Every received byte not yet taken; empty when nothing waits.
  virtual std::vector<std::uint8_t> ReadAll() = 0;
  // Queued for sending at once, in order, nothing added.
  virtual void Write(const std::vector<std::uint8_t>& bytes) = 0;
  // True once the device went away while the port was open (unplugged, the far end of
  // the line gone); the port is closed then. Cleared by the next Open.
  virtual bool Lost() const { return false; }
  // The port as the user knows it, for messages: "COM1" or "COM1 (/dev/ttyUSB0)".
  virtual std::string Name() const { return "COM" + std::to_string(PortNumber()); }
};

}  // namespace vantrel
