#include "files/text_tables.h"

#include "util/datetime.h"
#include "util/format.h"

namespace vantrel {

namespace {

constexpr const char* kEol = "\r\n";

std::string Num(double value) { return FormatShortest(value); }
std::string Num(float value) { return FormatShortest(value); }

void Setting(std::string& out, const char* name, const std::string& value) {
  out += name;
  out += ',';
  out += value;
  out += kEol;
}

}  // namespace

std::string SaTextTable(const DisplayState& state) {
  const AnalyzerSettings& s = state.settings;
  std::string out = "Freq.(MHz),Level\r\n";
  out.reserve(501 * 24 + 400);
  for (int i = 0; i < kTracePoints; ++i) {
    const double frequency = s.FreqStart + i * (s.FreqStop - s.FreqStart) / 500;
    // The level a marker reads at the point, without its clamping.
    const auto level =
        static_cast<float>(state.markerTrace[i] * 80.0 / 1023 + (s.RefLevel - 80.0));
    out += Num(frequency) + "," + Num(level) + kEol;
  }
  Setting(out, "Ref Level", Num(s.RefLevel));
  Setting(out, "Amp Unit", s.RefUnit);
  Setting(out, "Amp Scale", Num(s.Scale));
  Setting(out, "Start", Num(s.FreqStart));
  Setting(out, "Center", Num(s.FreqCenter));
  Setting(out, "Stop", Num(s.FreqStop));
  Setting(out, "SPAN", s.Span);
  Setting(out, "RBW", s.RBW);
  Setting(out, "VBW", s.VBW);
  Setting(out, "Sweep", s.SweepTime);
  Setting(out, "DATE TIME", s.TimeStamp);
  return out;
}

std::string EmiTextTable(const EmiTrace& points, const AnalyzerSettings& s, double start,
                         double stop) {
  std::string out = "Point,Freq.(MHz),Level,ADValue\r\n";
  for (int i = 0; i < kEmiTracePoints; ++i) {
    const EmiPoint& p = points[i];
    out += std::to_string(i) + "," + Num(p.frequency) + "," + Num(p.level) + "," +
           std::to_string(p.raw) + kEol;
  }
  Setting(out, "Ref Level", Num(s.RefLevel));
  Setting(out, "Amp Unit", s.RefUnit);
  Setting(out, "Amp Scale", Num(s.Scale));
  Setting(out, "Start", Num(start));
  Setting(out, "Stop", Num(stop));
  Setting(out, "RBW", s.RBW);
  Setting(out, "VBW", s.VBW);
  Setting(out, "Sweep", s.SweepTime);
  Setting(out, "DATE TIME", s.TimeStamp);
  return out;
}

std::string Sp3TextHeader() {
  std::string out =
      "Index, Datetime, FreqStart, FreqCenter, FreqStop, RefLevel, AmpUnit, AmpScale, RBW, "
      "VBW, SPAN, SweepTime";
  for (const char* trace : {"TA", "TB", "TC"}) {
    for (int n = 0; n < kTracePoints; ++n) out += ", " + std::string(trace) + std::to_string(n);
  }
  return out + kEol;
}

std::string Sp3TextLine(std::uint64_t number, const Sp3Record& r) {
  const std::optional<DateTime> when = FromOleDate(r.oleDate);
  std::string out = std::to_string(number);
  for (const std::string& field :
       {when ? FormatDateTime(*when, "yyyy/mm/dd hh:mm:ss") : std::string(), Num(r.freqStart),
        Num(r.freqCenter), Num(r.freqStop), Num(r.refLevel), r.refUnit, std::to_string(r.scale),
        r.rbw, r.vbw, r.span, r.sweepTime}) {
    out += ", ";
    out += field;
  }
  out.reserve(out.size() + 1503 * 7);
  for (const RawTrace& trace : r.traces) {
    for (std::int16_t count : trace.Points()) {
      out += ", ";
      out += std::to_string(count);
    }
  }
  return out + kEol;
}

}  // namespace vantrel
