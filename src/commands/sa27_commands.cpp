#include "commands/sa27_commands.h"

#include <array>

#include "commands/trace_text.h"
#include "util/format.h"
#include "util/numbers.h"
#include "util/text.h"

namespace vantrel {
namespace {

struct RbwEntry {
  const char* label;
  int code;
};
constexpr std::array<RbwEntry, 6> kRbwCodes{
    {{"3KHZ", 2}, {"9KHZ", 3}, {"30KHZ", 4}, {"120KHZ", 5}, {"300KHZ", 6}, {"4MHZ", 7}}};

// The value after "MKRn:" in a marker answer (the whole answer when there is no ":").
double MarkerValue(const std::string& answer) {
  const auto colon = answer.find(':');
  return NumericValue(colon == std::string::npos ? answer : answer.substr(colon + 1));
}

}  // namespace

double Sa27SweepTimeMs(std::string_view answer) {
  const std::string trimmed = Trim(answer);
  const std::string unit =
      Trim(ToUpper(trimmed.size() >= 2 ? trimmed.substr(trimmed.size() - 2) : trimmed));
  const double value = NumericValue(trimmed);
  if (unit == "US") return value * 1e-3;
  if (unit == "S") return value * 1e3;
  return value;
}

int Sa27RbwCode(std::string_view label) {
  const std::string upper = Trim(ToUpper(label));
  for (const auto& entry : kRbwCodes) {
    if (upper == entry.label) return entry.code;
  }
  return 0;
}

double Sa27Commands::Number(const char* query) {
  return NumericValue(link_.SendQuery(query, kSa27SettingWaitMs));
}

double Sa27Commands::Get_RefLevel() {
  return Number("MEAS:REFL?");
}
std::string Sa27Commands::Get_RefUnit() {
  return link_.SendQuery("MEAS:REFL:UNIT?", kSa27SettingWaitMs);
}
double Sa27Commands::Get_Scale() {
  return Number("MEAS:REFL:SCALE?");
}
std::string Sa27Commands::Get_Clock() {
  return link_.SendQuery("control:system:clock?", kSa27SettingWaitMs);
}
double Sa27Commands::Get_SweepTime() {
  return Sa27SweepTimeMs(link_.SendQuery("CONtrol:SWEEPtime?", kSa27SettingWaitMs));
}
std::string Sa27Commands::Get_SweepMode() {
  return link_.SendQuery("CON:SWEEP?", kSa27SettingWaitMs);
}
std::string Sa27Commands::Get_RBW() {
  return link_.SendQuery("CON:RBW?", kSa27SettingWaitMs);
}
std::string Sa27Commands::Get_VBW() {
  return link_.SendQuery("CON:VBW?", kSa27SettingWaitMs);
}
double Sa27Commands::Get_FreqStart() {
  return Number("MEAS:FREQ:ST?") / 1000.0;
}
double Sa27Commands::Get_FreqStop() {
  return Number("MEAS:FREQ:STP?") / 1000.0;
}
double Sa27Commands::Get_FreqCenter() {
  return Number("MEAS:FREQ:CEN?") / 1000.0;
}
double Sa27Commands::Get_Span() {
  return Number("MEAS:SPAN?") / 1000.0;
}
bool Sa27Commands::Get_MarkerMode() {
  return Trim(ToUpper(link_.SendQuery("MEAS:MARK:MODE?", kSa27SettingWaitMs))) == "ON";
}
double Sa27Commands::Get_MarkerFreq() {
  return MarkerValue(link_.SendQuery("MEAS:MARK:FREQ?", kSa27SettingWaitMs));
}
double Sa27Commands::Get_MarkerLevel() {
  return MarkerValue(link_.SendQuery("MEAS:MARK:LEVEL?", kSa27SettingWaitMs));
}

void Sa27Commands::Set_RefLevel(double level) {
  link_.SendCMD("MEAS:REFL " + FormatShortest(level));
}
void Sa27Commands::Set_Scale(double dbPerDiv) {
  link_.SendCMD("MEAS:REFL:SCAL " + FormatShortest(dbPerDiv));
}
void Sa27Commands::Set_Unit(const std::string& unit) {
  link_.SendCMD("MEAS:REFL:UNIT " + unit);
}
void Sa27Commands::Set_SweepMode(bool automatic) {
  link_.SendCMD(automatic ? "CON:SWEEP Auto" : "CON:SWEEP Man");
}
void Sa27Commands::Set_RBWMode(bool automatic) {
  link_.SendCMD(automatic ? "CON:RBW:AUTO" : "CON:RBW:MAN");
}
void Sa27Commands::Set_RBW(std::string_view label) {
  const int code = Sa27RbwCode(label);
  if (code != 0) link_.SendCMD("CON:RBW " + std::to_string(code));
}
void Sa27Commands::Set_FreqStart(double mhz) {
  link_.SendCMD("MEAS:FREQ:ST " + FormatShortest(mhz) + " MHz");
}
void Sa27Commands::Set_FreqStop(double mhz) {
  link_.SendCMD("MEAS:FREQ:STP " + FormatShortest(mhz) + " MHz");
}
void Sa27Commands::Set_MarkerSelect(int marker) {
  link_.SendCMD("MEAS:MARK:SEL " + std::to_string(marker));
}

void Sa27Commands::SwitchToLive() {
  link_.SendCMD("MEAS:TRA:SWITCH:LIVE");
}
void Sa27Commands::SwitchToStored(int index) {
  link_.SendCMD("meas:tra:switch:stored " + std::to_string(index));
}

int Sa27Commands::ReadTrace(double waitMs, std::span<std::int16_t, kTracePoints> points) {
  return ParseTraceTextPoints(link_.SendQuery("MEAS:TRA:READ?", waitMs), points);
}

std::string Sa27LimitPointLine(Sa27LimitKind kind, int index, const LimitPoint& point) {
  return std::string(kind == Sa27LimitKind::Lower ? "LLim " : "HLim ") + std::to_string(index) +
         ":  " + FormatShortest(point.frequencyMHz) + "MHz,  " + FormatShortest(point.level) +
         "dBm";
}

LimitLine Sa27Commands::ReadLimitLine(Sa27LimitKind kind) {
  const std::string line = kind == Sa27LimitKind::Lower ? "llimit" : "hlimit";
  Notifier& notifier = link_.LinkNotifier();
  notifier.SetStatus("Reading limit line data ...");
  LimitLine points;
  for (int i = 0; i < kSa27LimitPoints; ++i) {
    const std::string index = std::to_string(i);
    const std::string freq =
        link_.SendQuery("meas:" + line + ":freq " + index + "?", kSa27LimitPointWaitMs);
    if (freq.empty()) break;
    const std::string level =
        link_.SendQuery("meas:" + line + ":level " + index + "?", kSa27LimitPointWaitMs);
    points.push_back({NumericValue(freq), NumericValue(level)});
    notifier.SetStatus(Sa27LimitPointLine(kind, i, points.back()));
  }
  return points;
}

}  // namespace vantrel
