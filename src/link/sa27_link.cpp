#include "link/sa27_link.h"

#include <exception>

#include "util/numbers.h"
#include "util/text.h"

namespace vantrel {
namespace {

// Answers may take up to 10 s; empty lines before one are skipped; polls 10 ms apart.
constexpr SerialAnswerRules kSa27AnswerRules{10000, 10, true};
constexpr double kVersionWaitMs = 10;
constexpr double kCommandAnswerWaitMs = 20;
constexpr std::size_t kVersionChars = 7;

}  // namespace

double Sa27VersionNumber(std::string_view answer) {
  const auto eq = answer.find('=');
  const std::size_t from = eq == std::string_view::npos ? 0 : eq + 1;
  return NumericValue(answer.substr(from, kVersionChars));
}

Sa27Link::Sa27Link(Clock& clock, Notifier& notifier, SerialPort& serial)
    : clock_(clock), notifier_(notifier), serial_(serial) {}

bool Sa27Link::InitPort() {
  if (serial_.IsOpen() || portNumber < 1) return false;
  try {
    serial_.SetPortNumber(portNumber);
    serial_.SetReceiveBufferSize(kSa27ReceiveBufferBytes);
    serial_.SetSettings(kSa27PortSettings);
    serial_.Open();
  } catch (const std::exception& error) {
    notifier_.ShowMessage(error.what(), MessageIcon::Critical);
    return false;
  }
  return serial_.IsOpen();
}

bool Sa27Link::Connect() {
  stopRequested = false;
  InitPort();
  communicationFailed_ = false;
  version_ = 0;
  versionText_ = SendQuery("CON:SYS:VER?", kVersionWaitMs);
  if (versionText_.empty()) {
    Close();
    return false;
  }
  version_ = Sa27VersionNumber(versionText_);
  return true;
}

void Sa27Link::Close() {
  if (serial_.IsOpen()) serial_.Close();
}

void Sa27Link::SendCMD(const std::string& command) {
  if (!serial_.IsOpen() || communicationFailed_ || stopRequested) return;
  WriteSerialLine(serial_, Trim(command));
  if (version_ < kSa27QuietCommandsVersion) ReadCOM(kCommandAnswerWaitMs);
}

std::string Sa27Link::SendQuery(const std::string& query, double waitMs) {
  if (!serial_.IsOpen() || communicationFailed_ || stopRequested) return "";
  DropWaitingBytes(serial_);
  WriteSerialLine(serial_, Trim(query));
  const std::string answer = ReadCOM(waitMs);
  if (communicationFailed_ || stopRequested) return "";
  return CleanSerialAnswer(answer);
}

std::string Sa27Link::ReadCOM(double waitMs) {
  if (!serial_.IsOpen() || communicationFailed_ || stopRequested) return "";
  const SerialAnswer answer = ReadSerialAnswer(serial_, clock_, waitMs, kSa27AnswerRules,
                                               receiveBuffer_, [this] { return stopRequested; });
  if (stopRequested) return "";
  if (answer.timedOut) notifier_.SetStatus(kSa27TimeOutStatus);
  if (answer.passes == 2 && answer.lastPassTimedOut) communicationFailed_ = true;
  return answer.text;
}

}  // namespace vantrel
