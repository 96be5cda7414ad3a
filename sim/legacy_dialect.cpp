#include "sim/legacy_dialect.h"

#include <array>
#include <cmath>

#include "sim/analyzer_model.h"
#include "sim/answer_format.h"
#include "util/format.h"
#include "util/numbers.h"
#include "util/text.h"

namespace vantrel::sim {
namespace {

// RBW command codes 2..7 and the bandwidth-table index each one selects.
constexpr std::array<int, 6> kRbwCodeIndex{1, 2, 4, 6, 7, 8};  // 3k 9k 30k 120k 300k 4M
constexpr std::array<int, 4> kScaleDbPerDiv{10, 5, 2, 1};      // by scale code 1..4

// Bandwidth as the instrument names it: "300HZ", "120KHZ", "4MHZ".
std::string BandwidthLabel(double hz) {
  if (hz >= 1e6) return FormatShortest(hz / 1e6) + "MHZ";
  if (hz >= 1e3) return FormatShortest(hz / 1e3) + "KHZ";
  return FormatShortest(hz) + "HZ";
}

bool WholeNumber(const std::string& text, int& value) {
  if (!IsNumeric(text)) return false;
  const double v = NumericValue(text);
  if (v != std::floor(v) || std::abs(v) > 1e6) return false;
  value = static_cast<int>(v);
  return true;
}

std::string TwoDigits(int v) {
  return (v < 10 ? "0" : "") + std::to_string(v);
}

// Queries both models answer alike.
bool SharedQuery(const std::string& header) {
  return header == "MEAS:REFL" || header == "MEAS:FREQ:ST" || header == "MEAS:FREQ:STP" ||
         header == "MEAS:FREQ:CEN" || header == "MEAS:SPAN" || header == "MEAS:MARK:MODE" ||
         header == "MEAS:MARK:SEL" || header == "MEAS:MARK:FREQ" || header == "MEAS:MARK:LEVEL";
}

bool SharedCommand(const std::string& header) {
  return header == "MEAS:REFL" || header == "MEAS:FREQ:ST" || header == "MEAS:FREQ:STP" ||
         header == "MEAS:FREQ:CEN" || header == "MEAS:SPAN" || header == "MEAS:MARK:MODE" ||
         header == "MEAS:MARK:SEL" || header == "MEAS:MARK:FREQ" || header == "CON:RBW:AUTO";
}

}  // namespace

void LegacyDialect::PowerOn(AnalyzerModel& model) {
  auto& s = model.State();
  s.maxHz = kLegacyMaxFreqHz;
  s.stopHz = kLegacyMaxFreqHz;
  s.markerHz = kLegacyMaxFreqHz / 2;
  s.upperLimit = {{0, -25}, {1000, -25}, {1000, -35}, {2700, -35}};
  s.lowerLimit = {{0, -75}, {2700, -75}};
  sweepAuto_ = true;
  liveSelected_ = true;
}

std::optional<std::string> LegacyDialect::Query(AnalyzerModel& model, const std::string& header,
                                                const std::string& args) {
  const auto& s = model.State();
  if (SharedQuery(header)) return model.QueryText(header, args);
  if (header == "CON:SYS:VER") return "VER=" + FormatPattern(options_.firmwareVersion, "0.00");
  if (header == "MEAS:REFL:UNIT") {
    switch (s.unit) {
      case AmplitudeUnit::Dbmv:
        return std::string("dBmV");
      case AmplitudeUnit::Dbuv:
        return std::string("dBuV");
      case AmplitudeUnit::Dbm:
        break;
    }
    return std::string("dBm");
  }
  if (header == "MEAS:REFL:SCALE") return std::to_string(kScaleDbPerDiv[s.scaleCode - 1]);
  if (header == "CONTROL:SYSTEM:CLOCK") {
    const DateTime t = model.ModelClock().LocalNow();
    return std::to_string(t.year) + "/" + TwoDigits(t.month) + "/" + TwoDigits(t.day) + " " +
           TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second);
  }
  // "100 MS", "1.5 S", "200 US": the unit stands apart, so its last two characters name it.
  if (header == "CONTROL:SWEEPTIME") {
    return ToUpper(SweepTimeText(model.SweepTimeMs()));
  }
  if (header == "CON:SWEEP") return std::string(sweepAuto_ ? "AUTO" : "MAN");
  if (header == "CON:RBW") return BandwidthLabel(model.RbwHz());
  if (header == "CON:VBW") return BandwidthLabel(model.VbwHz());
  if (header == "MEAS:TRA:READ" && args.empty()) {
    if (!liveSelected_) return model.StoredTraceText();
    const auto live = model.TakeLiveTraces()[0];
    std::array<std::uint16_t, kTracePoints> points{};
    for (int n = 0; n < kTracePoints; ++n) points[n] = static_cast<std::uint16_t>(live[n]);
    return AnalyzerModel::TraceText(points);
  }
  const bool lower = header == "MEAS:LLIMIT:FREQ" || header == "MEAS:LLIMIT:LEVEL";
  const bool upper = header == "MEAS:HLIMIT:FREQ" || header == "MEAS:HLIMIT:LEVEL";
  int index = 0;
  if ((lower || upper) && WholeNumber(args, index) && index >= 0 && index < kLegacyLimitPoints) {
    const auto& points = upper ? s.upperLimit : s.lowerLimit;
    // Past the last point the answer is blank: that ends the host's list.
    if (index >= static_cast<int>(points.size())) return std::string(" ");
    const auto& p = points[static_cast<std::size_t>(index)];
    const bool frequency = header.ends_with(":FREQ");
    return frequency ? LevelText(p.freqMHz) : LevelText(model.FromDbm(p.levelDbm));
  }
  return std::nullopt;
}

bool LegacyDialect::Command(AnalyzerModel& model, const std::string& header,
                            const std::string& args) {
  auto& s = model.State();
  int n = 0;
  if (SharedCommand(header)) {
    model.Command(header, args);  // applies its own couplings
    return false;
  }
  if (header == "MEAS:REFL:SCAL" && WholeNumber(args, n)) {
    for (int code = 1; code <= 4; ++code) {
      if (kScaleDbPerDiv[code - 1] == n) s.scaleCode = code;
    }
    return false;
  }
  if (header == "MEAS:REFL:UNIT") {
    if (args == "DBM") s.unit = AmplitudeUnit::Dbm;
    if (args == "DBMV") s.unit = AmplitudeUnit::Dbmv;
    if (args == "DBUV") s.unit = AmplitudeUnit::Dbuv;
    return false;
  }
  if (header == "CON:SWEEP" && (args == "AUTO" || args == "MAN")) {
    sweepAuto_ = args == "AUTO";
    return false;
  }
  if (header == "CON:RBW" && WholeNumber(args, n) && n >= 2 && n <= 7) {
    s.rbwIndex = kRbwCodeIndex[static_cast<std::size_t>(n - 2)];
    s.rbwAuto = false;
    return true;
  }
  if (header == "CON:RBW:MAN") {
    s.rbwAuto = false;
    return true;
  }
  if (header == "MEAS:TRA:SWITCH:LIVE") {
    liveSelected_ = true;
    return false;
  }
  if (header == "MEAS:TRA:SWITCH:STORED") {
    if (WholeNumber(args, n) && n >= 1 && n <= kStoredTraceSlots) {
      s.selectedStoredSlot = n;
      liveSelected_ = false;
    }
    return false;
  }
  return false;
}

}  // namespace vantrel::sim
