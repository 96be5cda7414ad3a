#include "sim/sim_serial_port.h"

#include <algorithm>

#include "link/link_error.h"
#include "util/numbers.h"
#include "util/text.h"

namespace vantrel::sim {
namespace {

std::vector<std::string> SplitCommas(const std::string& text) {
  std::vector<std::string> fields;
  std::size_t from = 0;
  while (true) {
    const auto comma = text.find(',', from);
    fields.push_back(
        Trim(text.substr(from, comma == std::string::npos ? std::string::npos : comma - from)));
    if (comma == std::string::npos) return fields;
    from = comma + 1;
  }
}

}  // namespace

SimSerialPort::SimSerialPort(Clock& clock, AnalyzerModel& model, SimSerialOptions options)
    : time_(clock), model_(model), options_(options) {}

void SimSerialPort::SetSettings(const std::string& settings) {
  const auto f = SplitCommas(settings);
  const std::string parity = f.size() > 1 ? ToUpper(f[1]) : "";
  const bool valid = f.size() == 4 && IsNumeric(f[0]) && NumericValue(f[0]) >= 50 &&
                     NumericValue(f[0]) <= 4'000'000 && parity.size() == 1 &&
                     Contains("NEOMS", parity) &&
                     (f[2] == "5" || f[2] == "6" || f[2] == "7" || f[2] == "8") &&
                     (f[3] == "1" || f[3] == "1.5" || f[3] == "2");
  if (!valid) throw LinkError("Invalid port setting: " + settings);
  settings_ = settings;
  baud_ = static_cast<int>(NumericValue(f[0]));
}

void SimSerialPort::Open() {
  if (model_.Faults().vanished) throw LinkError(kNoSuchPortText);
  if (options_.openFailure == OpenFailure::NoSuchPort ||
      (options_.analyzerPort != 0 && portNumber_ != options_.analyzerPort)) {
    throw LinkError(kNoSuchPortText);
  }
  if (options_.openFailure == OpenFailure::InUse) throw LinkError(kPortInUseText);
  if (open_) return;
  open_ = true;
  receive_.clear();
  inFlight_.clear();
  splitter_.Clear();
}

void SimSerialPort::Close() {
  open_ = false;
  receive_.clear();
  inFlight_.clear();
  splitter_.Clear();
}

bool SimSerialPort::IsOpen() const {
  return open_ && !model_.Faults().vanished;
}

bool SimSerialPort::Lost() const {
  return open_ && model_.Faults().vanished;
}

void SimSerialPort::Enqueue(const std::vector<std::uint8_t>& bytes, double readyAt) {
  // Bytes leave one after the other; a later answer waits for the line to be free.
  double t = std::max(readyAt, lineFreeAt_);
  const double byteMs = options_.paceByBaud && baud_ > 0 ? 10000.0 / baud_ : 0.0;
  for (std::uint8_t b : bytes) {
    t += byteMs;
    inFlight_.emplace_back(t, b);
  }
  lineFreeAt_ = t;
}

void SimSerialPort::Pump() {
  const double now = static_cast<double>(time_.Now());
  while (!inFlight_.empty() && inFlight_.front().first <= now) {
    // A full receive buffer loses what arrives, like a UART overrun.
    if (static_cast<int>(receive_.size()) < receiveBufferSize_) {
      receive_.push_back(inFlight_.front().second);
    }
    inFlight_.pop_front();
  }
}

int SimSerialPort::BytesWaiting() {
  if (!IsOpen()) return 0;
  Pump();
  return static_cast<int>(receive_.size());
}

std::vector<std::uint8_t> SimSerialPort::ReadAll() {
  if (!IsOpen()) return {};
  Pump();
  const std::size_t n =
      std::min<std::size_t>(receive_.size(), static_cast<std::size_t>(options_.maxReadChunk));
  std::vector<std::uint8_t> out(receive_.begin(), receive_.begin() + static_cast<long>(n));
  receive_.erase(receive_.begin(), receive_.begin() + static_cast<long>(n));
  return out;
}

void SimSerialPort::InjectBytes(const std::vector<std::uint8_t>& bytes) {
  Enqueue(bytes, static_cast<double>(time_.Now()));
}

void SimSerialPort::Write(const std::vector<std::uint8_t>& bytes) {
  if (!IsOpen()) return;
  const bool rightSpeed = baud_ == options_.instrumentBaud;
  for (std::uint8_t byte : bytes) {
    if (!rightSpeed) {
      // At the wrong speed the analyzer hears noise; it never understands a command.
      splitter_.Clear();
      if (byte == '\r' && options_.wrongBaud == WrongBaudBehaviour::Garbage) {
        std::vector<std::uint8_t> noise(3);
        for (auto& b : noise) {
          noise_ = noise_ * 1103515245u + 12345u;
          b = static_cast<std::uint8_t>(0x80 | ((noise_ >> 16) & 0x7F));
        }
        Enqueue(noise, static_cast<double>(time_.Now() + options_.latencyMs));
      }
      continue;
    }
    auto line = splitter_.Push(byte);
    if (!line) continue;
    received_.push_back(*line);
    auto reply = model_.Execute(*line, Framing::Serial);
    if (reply) {
      Enqueue(reply->bytes, static_cast<double>(time_.Now() + options_.latencyMs + reply->delayMs));
    }
  }
}

}  // namespace vantrel::sim
