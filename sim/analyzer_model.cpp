#include "sim/analyzer_model.h"

#include <algorithm>
#include <cmath>

#include "sim/answer_format.h"
#include "sim/legacy_dialect.h"
#include "util/datetime.h"
#include "util/format.h"
#include "util/numbers.h"
#include "util/text.h"

namespace vantrel::sim {
namespace {

constexpr double kDbPerCount = 80.0 / 1023.0;
constexpr double kMinRefDbm = -120.0;
constexpr double kMaxRefDbm = 30.0;
// Offsets of the amplitude units from dBm at 50 ohm, as the instrument rounds them:
// -50 dBm is -3 dBmV and 57 dBuV.
constexpr double kDbmvOffset = 47.0;
constexpr double kDbuvOffset = 107.0;
constexpr std::uint8_t kCr = 13;
// RBW indexes the instrument picks in AUTO (the 1-3-10 steps, no EMI bandwidths).
constexpr std::array<int, 7> kAutoRbwIndexes{0, 1, 3, 4, 5, 7, 8};

bool IsInteger(const std::string& text, int& value) {
  if (!IsNumeric(text)) return false;
  const double v = NumericValue(text);
  if (v != std::floor(v) || std::abs(v) > 1e9) return false;
  value = static_cast<int>(v);
  return true;
}

std::string TwoDigits(int v) {
  return (v < 10 ? "0" : "") + std::to_string(v);
}

const char* UnitName(AmplitudeUnit unit) {
  switch (unit) {
    case AmplitudeUnit::Dbm:
      return "dBm";
    case AmplitudeUnit::Dbmv:
      return "dBmV";
    case AmplitudeUnit::Dbuv:
      return "dBuV";
  }
  return "dBm";
}

}  // namespace

AnalyzerModel::AnalyzerModel(Clock& clock) : clock_(clock) {
  Reset();
}

void AnalyzerModel::Reset() {
  state_ = AnalyzerState{};
  faults_ = SimFaults{};
  scene_ = SignalScene::Default();
  state_.upperLimit = {{0, -25}, {1000, -25}, {1000, -35}, {3000, -35}};
  state_.lowerLimit = {{0, -75}, {3000, -75}};
  if (legacy_) legacy_->PowerOn(*this);
  ApplyAutoCouplings();
  FillDefaultStored();
  InvalidateHolds();
}

void AnalyzerModel::UseLegacyDialect(const LegacyOptions& options) {
  legacy_ = std::make_shared<LegacyDialect>(options);
  Reset();
}

void AnalyzerModel::FillDefaultStored() {
  for (int slot = 0; slot < 2; ++slot) {
    SweepSettings sweep{static_cast<double>(state_.startHz), static_cast<double>(state_.stopHz),
                        RbwHz(), static_cast<Detector>(state_.detectorCode),
                        1000u + static_cast<std::uint64_t>(slot)};
    const auto levels = scene_.Sweep(sweep);
    for (int n = 0; n < kTracePoints; ++n) {
      state_.stored[slot][n] =
          static_cast<std::uint16_t>(LevelToCount(levels[n], state_.refLevelDbm));
    }
  }
}

// ---- derived settings ----

double AnalyzerModel::RbwHz() const {
  return kRbwTableHz[state_.rbwIndex];
}
double AnalyzerModel::VbwHz() const {
  return kVbwTableHz[state_.vbwIndex];
}

double AnalyzerModel::SweepTimeMs() const {
  if (state_.sweepTimeOverrideMs) return *state_.sweepTimeOverrideMs;
  // A swept analyzer needs about 2.5 * span / (RBW * min(RBW, VBW)) to settle.
  const double rbw = RbwHz();
  const double ms =
      2.5 * static_cast<double>(state_.SpanHz()) / (rbw * std::min(rbw, VbwHz())) * 1000.0;
  return std::clamp(ms, 10.0, 1'000'000.0);
}

double AnalyzerModel::FromDbm(double dbm) const {
  switch (state_.unit) {
    case AmplitudeUnit::Dbmv:
      return dbm + kDbmvOffset;
    case AmplitudeUnit::Dbuv:
      return dbm + kDbuvOffset;
    case AmplitudeUnit::Dbm:
      break;
  }
  return dbm;
}

double AnalyzerModel::ToDbm(double levelInUnit) const {
  switch (state_.unit) {
    case AmplitudeUnit::Dbmv:
      return levelInUnit - kDbmvOffset;
    case AmplitudeUnit::Dbuv:
      return levelInUnit - kDbuvOffset;
    case AmplitudeUnit::Dbm:
      break;
  }
  return levelInUnit;
}

double AnalyzerModel::RefLevelInUnit() const {
  return FromDbm(state_.refLevelDbm);
}

void AnalyzerModel::ApplyAutoCouplings() {
  if (state_.rbwAuto) {
    // One resolution bandwidth per display point or finer.
    const double wanted = static_cast<double>(state_.SpanHz()) / (kTracePoints - 1);
    state_.rbwIndex = kAutoRbwIndexes.back();
    for (int index : kAutoRbwIndexes) {
      if (kRbwTableHz[index] >= wanted) {
        state_.rbwIndex = index;
        break;
      }
    }
  }
  if (state_.vbwAuto) {
    state_.vbwIndex = static_cast<int>(kVbwTableHz.size()) - 1;
    for (int i = 0; i < static_cast<int>(kVbwTableHz.size()); ++i) {
      if (kVbwTableHz[i] >= RbwHz()) {
        state_.vbwIndex = i;
        break;
      }
    }
  }
}

// ---- frequencies ----

void AnalyzerModel::SetStart(std::int64_t hz) {
  state_.startHz = std::clamp<std::int64_t>(hz, 0, state_.maxHz - kMinSpanHz);
  if (state_.stopHz - state_.startHz < kMinSpanHz) state_.stopHz = state_.startHz + kMinSpanHz;
}

void AnalyzerModel::SetStop(std::int64_t hz) {
  state_.stopHz = std::clamp<std::int64_t>(hz, kMinSpanHz, state_.maxHz);
  if (state_.stopHz - state_.startHz < kMinSpanHz) state_.startHz = state_.stopHz - kMinSpanHz;
}

void AnalyzerModel::SetCentre(std::int64_t hz) {
  const std::int64_t centre =
      std::clamp<std::int64_t>(hz, kMinSpanHz / 2, state_.maxHz - kMinSpanHz / 2);
  const std::int64_t half =
      std::max(kMinSpanHz / 2, std::min({state_.SpanHz() / 2, centre, state_.maxHz - centre}));
  state_.startHz = centre - half;
  state_.stopHz = centre + half;
}

void AnalyzerModel::SetSpan(std::int64_t hz) {
  const std::int64_t span = std::clamp<std::int64_t>(hz, kMinSpanHz, state_.maxHz);
  const std::int64_t centre = (state_.startHz + state_.stopHz) / 2;
  state_.startHz = centre - span / 2;
  state_.stopHz = state_.startHz + span;
  if (state_.startHz < 0) {
    state_.startHz = 0;
    state_.stopHz = span;
  }
  if (state_.stopHz > state_.maxHz) {
    state_.stopHz = state_.maxHz;
    state_.startHz = state_.maxHz - span;
  }
}

// ---- traces ----

int AnalyzerModel::LevelToCount(double levelDbm, double refLevelDbm) {
  const double reference = std::max(refLevelDbm, kLowestCountReferenceDbm);
  const double count = 1023.0 - (reference - levelDbm) / kDbPerCount;
  if (!(count > 0)) return 0;
  return static_cast<int>(std::min<std::int64_t>(1023, RoundHalfEven(count)));
}

std::vector<double> AnalyzerModel::SweepLevels() {
  SweepSettings sweep{static_cast<double>(state_.startHz), static_cast<double>(state_.stopHz),
                      RbwHz(), static_cast<Detector>(state_.detectorCode), sweeps_++};
  return scene_.Sweep(sweep);
}

void AnalyzerModel::InvalidateHolds() {
  holdsValid_ = false;
}

std::array<std::array<int, kTracePoints>, 3> AnalyzerModel::TakeLiveTraces() {
  const auto levels = SweepLevels();
  std::array<int, kTracePoints> now{};
  for (int n = 0; n < kTracePoints; ++n) now[n] = LevelToCount(levels[n], state_.refLevelDbm);
  if (!holdsValid_) {
    maxHold_ = now;
    minHold_ = now;
    holdsValid_ = true;
  }
  for (int n = 0; n < kTracePoints; ++n) {
    maxHold_[n] = std::max(maxHold_[n], now[n]);
    minHold_[n] = std::min(minHold_[n], now[n]);
  }
  std::array<std::array<int, kTracePoints>, 3> traces{};
  for (int t = 0; t < 3; ++t) {
    const int mode = state_.live[t].mode;
    traces[t] = mode == 1 ? maxHold_ : mode == 2 ? minHold_ : now;
    if (faults_.point0400 >= 0 && faults_.point0400 < kTracePoints) {
      traces[t][faults_.point0400] = 0x0400;
    }
  }
  return traces;
}

std::uint8_t AnalyzerModel::StatusByte(int i) const {
  if (faults_.statusBytes[i] >= 0) return static_cast<std::uint8_t>(faults_.statusBytes[i]);
  const bool present = faults_.onlyTrace2 ? i == 1 : state_.live[i].present;
  return static_cast<std::uint8_t>(((state_.live[i].mode & 3) << 6) | (present ? 1 : 0));
}

std::vector<std::uint8_t> AnalyzerModel::LiveBlock(Framing framing) {
  const auto traces = TakeLiveTraces();
  const bool badCheck = faults_.badCheckBytes != 0;
  if (faults_.badCheckBytes > 0) --faults_.badCheckBytes;
  std::vector<std::uint8_t> out;
  out.reserve(3 * 1503 + 9);
  std::array<bool, 3> present{};
  for (int t = 0; t < 3; ++t) {
    const std::uint8_t status = StatusByte(t);
    const int low = status & 0x0F;
    present[t] = low != 0 && low != 5;
    if (framing == Framing::Gpib) {
      out.push_back(badCheck ? 0xFF : 0);
      out.push_back(status);
    } else {
      out.push_back(static_cast<std::uint8_t>('1' + t));
      out.push_back(status);
      out.push_back(badCheck ? 0x0A : kCr);
    }
  }
  for (int t = 0; t < 3; ++t) {
    if (!present[t]) continue;
    for (int value : traces[t]) {
      out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
      out.push_back(static_cast<std::uint8_t>(value & 0xFF));
      if (framing != Framing::Gpib) out.push_back(kCr);
    }
  }
  return out;
}

std::vector<std::uint8_t> AnalyzerModel::SingleTraceBlock(int trace, Framing framing) {
  const auto traces = TakeLiveTraces();
  std::vector<std::uint8_t> out;
  for (int value : traces[trace - 1]) {
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    if (framing != Framing::Gpib) out.push_back(kCr);
  }
  return out;
}

std::string AnalyzerModel::StoredTraceText() const {
  return TraceText(state_.stored[state_.selectedStoredSlot - 1]);
}

std::string AnalyzerModel::TraceText(const std::array<std::uint16_t, kTracePoints>& points) {
  std::string text = "{";
  for (int n = 0; n < kTracePoints; ++n) {
    if (n > 0) text += ',';
    text += std::to_string(points[n]);
  }
  return text + "}";
}

std::string AnalyzerModel::LimitLineText(int line) {
  const auto& points = line == 1 ? state_.upperLimit : state_.lowerLimit;
  std::string text = std::to_string(points.size());
  for (const auto& p : points) {
    text += "," + LevelText(p.freqMHz) + "," + LevelText(FromDbm(p.levelDbm));
  }
  if (faults_.shortLimitLines != 0 && !points.empty()) {
    if (faults_.shortLimitLines > 0) --faults_.shortLimitLines;
    text.erase(text.rfind(','));
  }
  return text;
}

// ---- commands ----

std::optional<std::string> AnalyzerModel::QueryText(const std::string& header,
                                                    const std::string& args) {
  const auto& s = state_;
  if (header == "*IDN") return std::string(kIdentification);
  if (header == "*SRE") return std::to_string(s.serviceRequestEnable);
  if (header == "MEAS:REFL") return LevelText(RefLevelInUnit());
  if (header == "MEAS:REFL:UNIT") return std::to_string(static_cast<int>(s.unit));
  if (header == "MEAS:REFL:SCALE") return std::to_string(s.scaleCode);
  if (header == "MEAS:FREQ:ST") return KhzText(static_cast<double>(s.startHz));
  if (header == "MEAS:FREQ:STP") return KhzText(static_cast<double>(s.stopHz));
  if (header == "MEAS:FREQ:CEN") return KhzText(s.CentreHz());
  if (header == "MEAS:SPAN") return SpanText(static_cast<double>(s.SpanHz()));
  if (header == "CON:RBW") return std::to_string(s.rbwIndex);
  if (header == "CON:VBW") return std::to_string(s.vbwIndex);
  if (header == "CON:RBW:MODE") return std::string(s.rbwAuto ? "AUTO" : "MANUAL");
  if (header == "CON:VBW:MODE") return std::string(s.vbwAuto ? "AUTO" : "MANUAL");
  if (header == "CON:SWT") return SweepTimeText(SweepTimeMs());
  if (header == "MEAS:TRA:DET") return std::to_string(s.detectorCode);
  if (header == "CON:SYS:CLOCK:DATE") {
    const DateTime now = clock_.LocalNow();
    return std::to_string(now.year) + " " + TwoDigits(now.month) + " " + TwoDigits(now.day);
  }
  if (header == "CON:SYS:CLOCK:TIME") {
    const DateTime now = clock_.LocalNow();
    return TwoDigits(now.hour) + " " + TwoDigits(now.minute) + " " + TwoDigits(now.second);
  }
  if (header == "MEAS:MARK:MODE") return std::string(s.markerOn ? "ON" : "OFF");
  if (header == "MEAS:MARK:SEL") return std::to_string(s.selectedMarker);
  const std::string marker = "MKR" + std::to_string(s.selectedMarker) + ":";
  if (header == "MEAS:MARK:FREQ") {
    return marker + FormatShortest(static_cast<double>(s.markerHz) / 1e6) + " MHz";
  }
  if (header == "MEAS:MARK:LEVEL") {
    SweepSettings sweep{static_cast<double>(s.startHz), static_cast<double>(s.stopHz), RbwHz(),
                        static_cast<Detector>(s.detectorCode), sweeps_};
    const auto levels = scene_.Sweep(sweep);
    const double step = static_cast<double>(s.SpanHz()) / (kTracePoints - 1);
    const auto n = std::clamp<std::int64_t>(
        RoundHalfEven(static_cast<double>(s.markerHz - s.startHz) / step), 0, kTracePoints - 1);
    return marker + LevelText(FromDbm(levels[static_cast<std::size_t>(n)])) + " " +
           UnitName(s.unit);
  }
  if (header == "MEAS:TRA:READ" && args.empty()) return StoredTraceText();
  if (header == "MEAS:LMTLINE" && (args == "1" || args == "0")) {
    return LimitLineText(args == "1" ? 1 : 0);
  }
  return std::nullopt;
}

void AnalyzerModel::Command(const std::string& header, const std::string& args) {
  auto& s = state_;
  int n = 0;
  if (header == "*SRE" && IsInteger(args, n)) {
    s.serviceRequestEnable = std::clamp(n, 0, 255);
  } else if (header == "*RST") {
    const SimFaults keep = faults_;
    const SignalScene scene = scene_;
    const auto stored = s.stored;
    Reset();
    faults_ = keep;
    scene_ = scene;
    s.stored = stored;
  } else if (header == "MEAS:REFL" && IsNumeric(args)) {
    const double dbm = std::clamp(ToDbm(NumericValue(args)), kMinRefDbm, kMaxRefDbm);
    s.refLevelDbm = static_cast<double>(RoundHalfEven(dbm * 100.0)) / 100.0;
  } else if (header == "MEAS:REFL:UNIT" && IsInteger(args, n) && n >= 1 && n <= 3) {
    s.unit = static_cast<AmplitudeUnit>(n);
  } else if (header == "MEAS:REFL:SCALE" && IsInteger(args, n) && n >= 1 && n <= 4) {
    s.scaleCode = n;
  } else if (header == "MEAS:FREQ:ST" || header == "MEAS:FREQ:STP" || header == "MEAS:FREQ:CEN" ||
             header == "MEAS:SPAN") {
    const auto hz = ParseFrequencyHz(args);
    if (!hz) return;
    if (header == "MEAS:FREQ:ST") SetStart(*hz);
    if (header == "MEAS:FREQ:STP") SetStop(*hz);
    if (header == "MEAS:FREQ:CEN") SetCentre(*hz);
    if (header == "MEAS:SPAN") SetSpan(*hz);
    s.markerHz = std::clamp(s.markerHz, s.startHz, s.stopHz);
  } else if (header == "CON:RBW:MAN" && IsInteger(args, n) && n >= 0 &&
             n < static_cast<int>(kRbwTableHz.size())) {
    s.rbwIndex = n;
    s.rbwAuto = false;
  } else if (header == "CON:RBW:AUTO") {
    s.rbwAuto = true;
  } else if (header == "CON:VBW:MAN" && IsInteger(args, n) && n >= 0 &&
             n < static_cast<int>(kVbwTableHz.size())) {
    s.vbwIndex = n;
    s.vbwAuto = false;
  } else if (header == "CON:VBW:AUTO") {
    s.vbwAuto = true;
  } else if (header == "MEAS:TRA:DET" && IsInteger(args, n) && n >= 1 && n <= 5) {
    s.detectorCode = n;
  } else if (header == "MEAS:MARK:MODE" && (args == "ON" || args == "OFF")) {
    s.markerOn = args == "ON";
  } else if (header == "MEAS:MARK:SEL" && IsInteger(args, n) && n >= 0 && n <= 9) {
    s.selectedMarker = n;
  } else if (header == "MEAS:MARK:FREQ") {
    if (const auto hz = ParseFrequencyHz(args)) s.markerHz = std::clamp(*hz, s.startHz, s.stopHz);
  } else if (header == "MEAS:TRA:SWITCH:STORED" && IsInteger(args, n) && n >= 1 &&
             n <= kStoredTraceSlots) {
    s.selectedStoredSlot = n;
  } else if (header == "MEAS:TRA:STORE" && IsInteger(args, n) && n >= 1 && n <= kStoredTraceSlots) {
    const auto traces = TakeLiveTraces();
    for (int p = 0; p < kTracePoints; ++p) {
      s.stored[n - 1][p] = static_cast<std::uint16_t>(traces[0][p]);
    }
  } else {
    return;  // unknown: ignored, like the instrument
  }
  ApplyAutoCouplings();
  InvalidateHolds();
}

std::optional<Reply> AnalyzerModel::Deliver(std::vector<std::uint8_t> bytes, bool text,
                                            Framing framing) {
  if (faults_.vanished || faults_.silent) return std::nullopt;
  ++answers_;
  if (faults_.vanishAfter == 0) {
    faults_.vanished = true;
    faults_.vanishAfter = -1;
    return std::nullopt;
  }
  if (faults_.vanishAfter > 0) --faults_.vanishAfter;
  if (faults_.silentAfter == 0) {
    faults_.silent = true;
    faults_.silentAfter = -1;
    return std::nullopt;
  }
  if (faults_.silentAfter > 0) --faults_.silentAfter;
  if (faults_.dropAnswers != 0) {
    if (faults_.dropAnswers > 0) --faults_.dropAnswers;
    return std::nullopt;
  }
  if (faults_.garbageAnswers != 0) {
    if (faults_.garbageAnswers > 0) --faults_.garbageAnswers;
    // Noise on the line: high bytes and stray punctuation, never a terminator inside.
    const std::size_t keep = text ? 1 : 0;
    for (std::size_t i = 0; i + keep < bytes.size(); ++i) {
      garbageSeed_ = garbageSeed_ * 6364136223846793005ULL + 1442695040888963407ULL;
      bytes[i] = static_cast<std::uint8_t>(0x80 | ((garbageSeed_ >> 33) & 0x7F));
    }
  }
  (void)framing;
  return Reply{std::move(bytes), std::max(0, faults_.answerDelayMs), text};
}

std::optional<Reply> AnalyzerModel::Execute(std::string_view line, Framing framing) {
  std::string cleaned = Trim(RemoveChars(line, std::string("\r\n\0", 3)));
  while (!cleaned.empty() && cleaned.back() == ';')
    cleaned = Trim(cleaned.substr(0, cleaned.size() - 1));
  if (cleaned.empty()) return std::nullopt;
  const std::string upper = ToUpper(cleaned);
  const auto space = upper.find(' ');
  std::string header = upper.substr(0, space);
  std::string args = space == std::string::npos ? "" : Trim(upper.substr(space + 1));
  const bool query = upper.back() == '?';
  if (!query) {
    if (!legacy_) {
      Command(header, args);
      return std::nullopt;
    }
    if (legacy_->Command(*this, header, args)) {
      ApplyAutoCouplings();
      InvalidateHolds();
    }
    // Older firmware answers every command; the host reads that answer and drops it.
    if (!legacy_->AcknowledgesCommands()) return std::nullopt;
    std::string ack = std::string(kLegacyAcknowledgement) + (framing == Framing::Gpib ? '\n' : '\r');
    return Deliver(std::vector<std::uint8_t>(ack.begin(), ack.end()), true, framing);
  }
  if (!args.empty()) {
    args = Trim(args.substr(0, args.size() - 1));
  } else {
    header.pop_back();
  }

  const std::string key = Trim(upper);
  if (auto it = faults_.overrides.find(key); it != faults_.overrides.end()) {
    std::string text = it->second.text;
    if (it->second.count > 0 && --it->second.count == 0) faults_.overrides.erase(it);
    text += framing == Framing::Gpib ? '\n' : '\r';
    return Deliver(std::vector<std::uint8_t>(text.begin(), text.end()), true, framing);
  }

  std::optional<std::string> text;
  if (legacy_) {
    text = legacy_->Query(*this, header, args);
  } else {
    if (header == "MEAS:TRA:READ" && args == "ALL")
      return Deliver(LiveBlock(framing), false, framing);
    if (header == "MEAS:TRA:READ" && (args == "1" || args == "2" || args == "3")) {
      return Deliver(SingleTraceBlock(args[0] - '0', framing), false, framing);
    }
    text = QueryText(header, args);
  }
  if (!text) return std::nullopt;
  if (faults_.bareNumbers != 0 &&
      (faults_.bareNumbersQuery.empty() || ToUpper(faults_.bareNumbersQuery) == key)) {
    const std::string bare = StripUnit(*text);
    if (bare != *text) {
      *text = bare;
      if (faults_.bareNumbers > 0) --faults_.bareNumbers;
    }
  }
  *text += framing == Framing::Gpib ? '\n' : '\r';
  return Deliver(std::vector<std::uint8_t>(text->begin(), text->end()), true, framing);
}

}  // namespace vantrel::sim
