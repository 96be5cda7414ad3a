#include "commands/stored_trace.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "commands/trace_text.h"
#include "util/numbers.h"
#include "util/text.h"

namespace vantrel {

namespace {

void Call(const std::function<void()>& hook) {
  if (hook) hook();
}

// More than any whole stored-trace answer ("{" + 501 values of up to 5 digits + ","s + "}").
constexpr std::size_t kStoredAnswerLimit = 8192;

// A USB feature report carries 64 characters, a stored trace about 2000 to 3000: the
// further reports are read until the closing brace has come, an empty report ends it.
// A device that keeps repeating a report never sends the brace: once more than the 501
// values of a trace have come without it, the answer is no trace at all. (Identical
// reports alone prove nothing: a flat trace of three-digit values repeats every 64
// characters.)
std::string ReadStoredAnswer(CommandTransport& transport) {
  std::string answer = transport.SendQuery("MEAS:TRA:READ?", 200);
  if (transport.Kind() != ConnectionKind::Usb || !Contains(answer, "{")) return answer;
  while (!Contains(answer, "}") && answer.size() < kStoredAnswerLimit && !transport.stopRequested) {
    const std::string piece = transport.ReadCOM(20);
    if (piece.empty()) break;
    answer += piece;
    const auto commas = std::count(answer.begin() + static_cast<long>(answer.find('{')),
                                   answer.end(), ',');
    if (commas >= kTracePoints && !Contains(answer, "}")) return "";
  }
  return answer;
}

}  // namespace

StoredTraceParse ParseStoredTraceText(std::string_view answer,
                                      std::span<std::int16_t, kTracePoints> points) {
  std::fill(points.begin(), points.end(), std::int16_t{0});
  long long sum = 0;
  const auto fields = TraceTextFields(answer);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    double value = NumericValue(fields[i]);
    if (value > 32767) value -= 65536;
    if (!(value >= -32768.5 && value < 32767.5)) return StoredTraceParse::Overflow;
    std::int16_t point = RoundToInt16(value);
    if (point > 1023) point = 1023;
    points[i] = point;
    sum += point;
  }
  return sum != 0 ? StoredTraceParse::Filled : StoredTraceParse::Empty;
}

void ReadStoredTrace(CommandTransport& transport, const std::string& indexText, RawTrace& record,
                     const StoredTraceHooks& hooks) {
  LinkPorts& ports = transport.Ports();
  if (transport.Kind() == ConnectionKind::ComPort && !ports.serial.IsOpen()) return;
  ports.notifier.SetBusy(true);
  try {
    transport.SendCMD("meas:tra:switch:stored " + indexText);
    const std::int16_t number = RoundToInt16(NumericValue(indexText));
    record.SetMode(number);
    WaitMs(ports.clock, 300);
    const std::string answer = ReadStoredAnswer(transport);
    Call(hooks.redrawEmptyGraph);
    if (ParseStoredTraceText(answer, record.Points()) == StoredTraceParse::Filled) {
      Call(hooks.drawStoredTraces);
      Call(hooks.recomputeMarkers);
      Call(hooks.rememberForRecording);
    } else {
      ports.notifier.ShowMessage("Stored trace (" + std::to_string(number) + ") is empty.",
                                 MessageIcon::None, MessageButtons::Ok);
      Call(hooks.recomputeMarkers);
    }
  } catch (const std::exception&) {
    // A link or drawing failure ends the read quietly; the record keeps what it had,
    // and the pointer below is restored all the same.
  }
  ports.notifier.SetBusy(false);
}

}  // namespace vantrel
