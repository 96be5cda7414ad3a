#include "link/serial_answer.h"

#include <vector>

#include "util/text.h"

namespace vantrel {
namespace {

constexpr char kCr = '\r';

}  // namespace

void WriteSerialLine(SerialPort& serial, std::string_view text) {
  std::vector<std::uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(static_cast<std::uint8_t>(kCr));
  serial.Write(bytes);
}

void DropWaitingBytes(SerialPort& serial) {
  if (serial.BytesWaiting() > 0) serial.ReadAll();
}

std::string CleanSerialAnswer(std::string_view answer) {
  return Trim(ReplaceAll(answer, "\r", " "));
}

SerialAnswer ReadSerialAnswer(SerialPort& serial, Clock& clock, double settleMs,
                              const SerialAnswerRules& rules, std::string& buffer,
                              const std::function<bool()>& stop) {
  SerialAnswer result;
  buffer.clear();
  const std::uint32_t t0 = clock.NowMs();
  int passes = 0;
  do {
    WaitMs(clock, settleMs);
    bool passTimedOut = false;
    for (;;) {
      clock.ProcessEvents();
      if (!serial.IsOpen() || (stop && stop())) break;
      for (std::uint8_t byte : serial.ReadAll()) buffer.push_back(static_cast<char>(byte));
      if (rules.skipLeadingCr) {
        const auto text = buffer.find_first_not_of(kCr);
        buffer.erase(0, text == std::string::npos ? buffer.size() : text);
      }
      const bool sawCr = buffer.find(kCr) != std::string::npos;
      if (ElapsedMs(t0, clock.NowMs()) > rules.limitMs) passTimedOut = true;
      if (sawCr || passTimedOut) break;
      if (rules.pauseWaitMs > 0) {
        WaitMs(clock, rules.pauseWaitMs);
      } else {
        clock.Sleep(1);  // give the processor away between rounds
      }
    }
    result.timedOut = result.timedOut || passTimedOut;
    result.lastPassTimedOut = passTimedOut;
    buffer = Trim(buffer);
    ++passes;
  } while (buffer.empty() && passes < 2 && !(stop && stop()));
  result.passes = passes;
  if (!buffer.empty() && buffer.back() == kCr) buffer.pop_back();
  result.text = buffer;
  return result;
}

}  // namespace vantrel
