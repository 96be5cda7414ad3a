#include "commands/analyzer_commands.h"

#include <cmath>
#include <utility>

#include "commands/analyzer_settings.h"
#include "util/datetime.h"
#include "util/format.h"
#include "util/numbers.h"
#include "util/text.h"

namespace vantrel {

namespace {

constexpr int kAttempts = 5;
constexpr int kVerifyPasses = 5;

std::string Upper(const std::string& text) {
  return ToUpper(text);
}

bool NumericNotEmpty(const std::string& answer) {
  const std::string t = Trim(answer);
  return !t.empty() && IsNumeric(t);
}

bool NumericWithin(const std::string& answer, double low, double high) {
  if (!NumericNotEmpty(answer)) return false;
  const double v = NumericValue(answer);
  return v >= low && v <= high;
}

bool HasMode(const std::string& answer) {
  const std::string u = Upper(answer);
  return Contains(u, "AUTO") || Contains(u, "MANU");
}

bool SweepTimeShape(const std::string& answer) {
  return Position(Upper(answer), "S") >= 2;
}

// "the first digit of the integer value is 1 to 5"
bool DetectorShape(const std::string& answer) {
  const double v = std::floor(NumericValue(answer));
  if (!std::isfinite(v) || v < 1) return false;
  const std::string digits = FormatShortest(v);
  return digits[0] >= '1' && digits[0] <= '5';
}

std::string Squeezed(const std::string& label) {
  return ToUpper(RemoveChars(label, " "));
}

}  // namespace

AnalyzerCommands::AnalyzerCommands(CommandTransport& transport) : transport_(transport) {}

Clock& AnalyzerCommands::clock() {
  return transport_.Ports().clock;
}

void AnalyzerCommands::Drain() {
  transport_.ReadCOM(20);
  WaitMs(clock(), 50);
}

bool AnalyzerCommands::RunQuery(const QueryRule& rule, std::string& answer) {
  for (int attempt = 1; attempt <= kAttempts; ++attempt) {
    // A disconnect can arrive inside any wait; the query then ends without I/O.
    if (rule.honoursStop && transport_.stopRequested) return false;
    answer = Trim(transport_.SendQuery(rule.query, rule.settleMs));
    if (rule.honoursStop && transport_.stopRequested) return false;  // stopped while waiting
    if (rule.waitAfterMs > 0) WaitMs(clock(), rule.waitAfterMs);
    if (rule.accepts(answer)) return true;
    // A silent analyzer makes every retry wait; the user sees which query it is.
    if (answer.empty() && attempt < kAttempts) {
      transport_.Ports().notifier.SetStatus(std::string("No answer from the analyzer (retrying): ") +
                                            rule.query);
    }
    switch (rule.onReject) {
      case OnReject::Drain:
        Drain();
        break;
      case OnReject::Wait50:
        WaitMs(clock(), 50);
        break;
      case OnReject::Wait100:
        WaitMs(clock(), 100);
        break;
      case OnReject::AskAgain:
        break;
    }
  }
  // The last answer stands, whatever it is; the caller can learn that it failed.
  if (!(rule.lastTakenUntested && !answer.empty()) && unanswered_.empty()) {
    unanswered_ = rule.query;
  }
  return true;
}

std::string AnalyzerCommands::TakeUnanswered() {
  return std::exchange(unanswered_, std::string());
}

std::string AnalyzerCommands::RunLabelQuery(
    const char* query, double settleMs, const std::function<bool(const std::string&)>& accepts) {
  std::string answer;
  if (!RunQuery({query, settleMs, 0, OnReject::Drain, true, accepts}, answer)) return {};
  return answer;
}

float AnalyzerCommands::Get_RefLevel() {
  std::string a;
  if (!RunQuery({"MEAS:REFL?", 200, 0, OnReject::Drain, true,
                 [](const std::string& s) { return IsNumeric(Trim(s)); }},
                a))
    return 0.0f;
  return static_cast<float>(NumericValue(a));
}

std::string AnalyzerCommands::Get_RefUnit() {
  std::string a;
  if (!RunQuery({"MEAS:REFL:UNIT?", 200, 0, OnReject::Drain, true, NumericNotEmpty}, a)) return {};
  return UnitName(NumericValue(a));
}

float AnalyzerCommands::Get_Scale() {
  std::string a;
  if (!RunQuery({"MEAS:REFL:SCALE?", 200, 0, OnReject::Drain, true, NumericNotEmpty}, a))
    return 0.0f;
  return ScaleOfCode(NumericValue(a));
}

double AnalyzerCommands::Get_FreqStart() {
  std::string a;
  if (!RunQuery({"MEAS:FREQ:ST?", 200, 50, OnReject::AskAgain, true,
                 [](const std::string& s) { return Position(Upper(s), "HZ") >= 3; }, true},
                a))
    return 0.0;
  return NumericValue(a) / 1000.0;
}

double AnalyzerCommands::Get_FreqStop() {
  std::string a;
  if (!RunQuery({"MEAS:FREQ:STP?", 200, 50, OnReject::AskAgain, true,
                 [](const std::string& s) { return Position(Upper(s), "HZ") >= 3; }, true},
                a))
    return 0.0;
  return NumericValue(a) / 1000.0;
}

double AnalyzerCommands::Get_FreqCenter() {
  std::string a;
  if (!RunQuery(
          {"meas:freq:cen?", 200, 0, OnReject::Drain, true,
           [](const std::string& s) { return NumericValue(s) != 0 && Contains(Upper(s), "KHZ"); }},
          a))
    return 0.0;
  return NumericValue(a) / 1000.0;
}

std::string AnalyzerCommands::Get_SPAN() {
  std::string a;
  if (!RunQuery({"MEAS:SPAN?", 200, 0, OnReject::Drain, true,
                 [](const std::string& s) { return Position(Upper(s), "HZ") >= 2; }},
                a))
    return {};
  const double khz = NumericValue(a);
  if (khz >= 1000000) return FormatShortest(khz / 1000000) + "GHz";
  if (khz >= 1000) return FormatShortest(khz / 1000) + "MHz";
  return FormatShortest(khz) + "KHz";
}

std::string AnalyzerCommands::Get_RBW() {
  std::string a;
  if (!RunQuery({"CON:RBW?", 200, 0, OnReject::Drain, true,
                 [](const std::string& s) { return NumericWithin(s, 0, 8); }},
                a))
    return {};
  return TableLabel(kRbwLabels, NumericValue(a));
}

std::string AnalyzerCommands::Get_VBW() {
  std::string a;
  if (!RunQuery({"CON:VBW?", 200, 0, OnReject::Drain, true,
                 [](const std::string& s) { return NumericWithin(s, 0, 10); }},
                a))
    return {};
  return TableLabel(kVbwLabels, NumericValue(a));
}

std::string AnalyzerCommands::Get_RBWMode() {
  return Trim(RemoveChars(RunLabelQuery("CON:RBW:Mode?", 200, HasMode), "\r\n"));
}

std::string AnalyzerCommands::Get_VBWMode() {
  return Trim(RemoveChars(RunLabelQuery("CON:VBW:Mode?", 200, HasMode), "\r\n"));
}

float AnalyzerCommands::Get_SweepTime() {
  std::string a;
  if (!RunQuery({"CON:SWT?", 200, 0, OnReject::Drain, true, SweepTimeShape}, a)) return 0.0f;
  const double value = NumericValue(a);
  const std::string u = Upper(a);
  // Tested in this order; the last unit found decides. No unit: no value.
  double ms = 0;
  if (Contains(u, " S")) ms = value * 1000;
  if (Contains(u, "US")) ms = value * 0.001;
  if (Contains(u, "MS")) ms = value;
  return static_cast<float>(ms);
}

std::string AnalyzerCommands::Get_SweepTime_str() {
  std::string a = RunLabelQuery("CON:SWT?", 200, SweepTimeShape);
  return Trim(RemoveChars(a, std::string_view("\r\n\0", 3)));
}

std::string AnalyzerCommands::Get_Detection() {
  std::string a;
  RunQuery({"MEAS:TRA:DET?", 100, 0, OnReject::Wait100, false, DetectorShape}, a);
  return DetectorName(NumericValue(a));
}

std::string AnalyzerCommands::Get_Clock() {
  std::string dateAnswer;
  const auto dateOf = [](const std::string& s) {
    return ParseDate(ReplaceAll(Trim(s).substr(0, 10), " ", "/"));
  };
  const auto timeOf = [](const std::string& s) { return ParseTime(ReplaceAll(Trim(s), " ", ":")); };
  if (!RunQuery({"con:sys:clock:date?", 200, 0, OnReject::AskAgain, true,
                 [&](const std::string& s) { return dateOf(s).has_value(); }},
                dateAnswer))
    return {};
  std::string timeAnswer;
  if (!RunQuery({"con:sys:clock:time?", 200, 0, OnReject::AskAgain, true,
                 [&](const std::string& s) { return timeOf(s).has_value(); }},
                timeAnswer))
    return {};
  const auto date = dateOf(dateAnswer);
  const auto time = timeOf(timeAnswer);
  if (!date || !time) return {};
  DateTime dt = *date;
  dt.hour = time->hour;
  dt.minute = time->minute;
  dt.second = time->second;
  if (!IsValidDateTime(dt)) return {};
  return FormatDateTime(dt, "yyyy/mm/dd hh:mm:ss");
}

bool AnalyzerCommands::Get_MM_MODE() {
  std::string a;
  if (!RunQuery({"MEAS:MARK:MODE?", 200, 0, OnReject::Wait50, true,
                 [](const std::string& s) { return Contains(s, "O"); }},
                a))
    return false;
  return a == "ON";
}

double AnalyzerCommands::MarkerValue(const char* query, double waitAfterMs) {
  if (transport_.stopRequested) return 0.0;
  const std::string a = transport_.SendQuery(query, 20);
  const int colon = Position(a, ":");
  const double value = NumericValue(colon > 0 ? std::string_view(a).substr(colon) : a);
  WaitMs(clock(), waitAfterMs);
  return value;
}

double AnalyzerCommands::Get_MarkerFreq() {
  return MarkerValue("MEAS:MARK:FREQ?", 500);
}

double AnalyzerCommands::Get_MarkerLevel() {
  return MarkerValue("MEAS:MARK:LEVEL?", 100);
}

void AnalyzerCommands::Set_RefLvl(double level, const std::string& /*unit*/) {
  transport_.SendCMD("MEAS:REFL " + FormatShortest(level));
}

void AnalyzerCommands::Set_AmpUnit(const std::string& unit) {
  if (const auto code = UnitCode(unit)) {
    transport_.SendCMD("MEAS:REFL:UNIT " + std::to_string(*code));
  }
}

void AnalyzerCommands::Set_Scale(int dbPerDiv) {
  if (const auto code = ScaleCode(dbPerDiv)) {
    transport_.SendCMD("MEAS:REFL:SCALE " + std::to_string(*code));
  }
}

void AnalyzerCommands::Set_FreqStart(double mhz) {
  transport_.SendCMD("MEAS:FREQ:ST " + FormatShortest(mhz) + " MHz");
}

void AnalyzerCommands::Set_FreqStop(double mhz) {
  transport_.SendCMD("MEAS:FREQ:STP " + FormatShortest(mhz) + " MHz");
}

void AnalyzerCommands::Set_FreqCenter(double mhz) {
  transport_.SendCMD("MEAS:FREQ:CEN " + FormatShortest(mhz) + " MHz");
}

void AnalyzerCommands::Set_Span(double mhz) {
  transport_.SendCMD("MEAS:SPAN " + FormatShortest(mhz) + " MHz");
}

void AnalyzerCommands::Verified(const std::function<void()>& send,
                                const std::function<bool()>& confirmed, double waitMs) {
  for (int pass = 1; pass <= kVerifyPasses; ++pass) {
    send();
    if (confirmed == nullptr) return;
    WaitMs(clock(), waitMs);
    if (confirmed()) return;
    if (pass < kVerifyPasses) WaitMs(clock(), waitMs);
  }
}

void AnalyzerCommands::Set_RBW(const std::string& label, bool verify) {
  const std::string wanted = Squeezed(label);
  Verified(
      [&] {
        const auto index = TableIndex(kRbwLabels, wanted);
        if (index) transport_.SendCMD("CON:RBW:MAN " + std::to_string(*index));
      },
      verify ? std::function<bool()>([&] { return Squeezed(Get_RBW()) == wanted; }) : nullptr, 200);
}

void AnalyzerCommands::Set_VBW(const std::string& label, bool verify) {
  const std::string wanted = Squeezed(label);
  Verified(
      [&] {
        const auto index = TableIndex(kVbwLabels, wanted);
        if (index) transport_.SendCMD("CON:VBW:MAN " + std::to_string(*index));
      },
      verify ? std::function<bool()>([&] { return Squeezed(Get_VBW()) == wanted; }) : nullptr, 200);
}

void AnalyzerCommands::Set_Detection(const std::string& name, bool verify) {
  const std::string wanted = ToUpper(Trim(name));
  Verified(
      [&] {
        const auto code = DetectorCode(wanted);
        if (code) transport_.SendCMD("MEAS:TRA:DET " + std::to_string(*code));
      },
      verify ? std::function<bool()>([&] { return ToUpper(Trim(Get_Detection())) == wanted; })
             : nullptr,
      300);
}

void AnalyzerCommands::Set_RBWAuto(int flag) {
  if (flag == 1) transport_.SendCMD("CON:RBW:AUTO");
}

void AnalyzerCommands::Set_VBWAuto(int flag) {
  if (flag == 1) transport_.SendCMD("CON:VBW:AUTO");
}

void AnalyzerCommands::Set_MarkerSelect(int marker) {
  if (transport_.stopRequested) return;
  transport_.SendCMD("MEAS:MARK:SEL " + std::to_string(marker));
  WaitMs(clock(), 1000);
}

void AnalyzerCommands::Set_SweepAuto(bool /*flag*/) {}

}  // namespace vantrel
