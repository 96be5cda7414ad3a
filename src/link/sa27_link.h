#pragma once
// The older 2.7 GHz analyzer's link: serial only, 57600 baud, a 3072-byte receive
// buffer, and answers awaited up to 10 s. Firmware below 1.06 answers every command,
// so that answer is read and dropped. A line that stays silent through the second pass
// of a read is given up: from then on queries return "" without touching the port,
// until the next connect.
#include <string>

#include "link/clock.h"
#include "link/serial_answer.h"
#include "link/serial_port.h"
#include "util/notifier.h"

namespace vantrel {

inline constexpr const char* kSa27PortSettings = "57600,N,8,1";
inline constexpr int kSa27ReceiveBufferBytes = 3072;
// Firmware from this version on no longer answers commands.
inline constexpr double kSa27QuietCommandsVersion = 1.06;
inline constexpr const char* kSa27TimeOutStatus = "Time Out";

// The version number in a "CON:SYS:VER?" answer: the numeric value of up to seven
// characters after the first "=" (of the first seven when there is no "=").
double Sa27VersionNumber(std::string_view answer);

class Sa27Link {
 public:
  Sa27Link(Clock& clock, Notifier& notifier, SerialPort& serial);

  // Port number 1..16, taken at the next InitPort.
  int portNumber = 1;
  // Set when the window closes during an exchange: the read in progress ends, and
  // commands and queries return at once without I/O. Cleared at connect.
  bool stopRequested = false;

  // Opens the port when it is closed and the number is at least 1; true when this call
  // opened it. A port that cannot be opened is reported in a message box.
  bool InitPort();
  // InitPort, then the version read. False when no version came back; the port is
  // closed then.
  bool Connect();
  void Close();
  bool IsOpen() const { return serial_.IsOpen(); }

  double Version() const { return version_; }
  std::string VersionText() const { return versionText_; }
  bool CommunicationFailed() const { return communicationFailed_; }

  void SendCMD(const std::string& command);
  // The answer with CRs as blanks, trimmed; "" when the port is closed or the link failed.
  std::string SendQuery(const std::string& query, double waitMs);
  // The raw answer minus a final CR; "Time Out" goes to the status panel when the
  // 10 s pass out.
  std::string ReadCOM(double waitMs);

  Clock& LinkClock() { return clock_; }
  Notifier& LinkNotifier() { return notifier_; }

 private:
  Clock& clock_;
  Notifier& notifier_;
  SerialPort& serial_;
  std::string receiveBuffer_;
  double version_ = 0;
  std::string versionText_;
  bool communicationFailed_ = false;
};

}  // namespace vantrel
