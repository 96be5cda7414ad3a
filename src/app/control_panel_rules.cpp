#include "app/control_panel_rules.h"

#include <algorithm>
#include <cmath>

#include "commands/analyzer_commands.h"
#include "display/graph_mapping.h"
#include "util/format.h"
#include "util/numbers.h"
#include "util/text.h"

namespace vantrel {

namespace {

bool NamesBandwidth(const std::string& listText) {
  return Contains(ToUpper(listText), "HZ");
}

}  // namespace

LevelRange RefLevelRange(const std::string& unitText) {
  const std::string unit = ToUpper(Trim(unitText));
  if (unit == "DBMV") return {-63, 67};
  if (unit == "DBUV") return {-3, 127};
  return {-110, 20};
}

std::optional<std::string> ClampedFrequencyText(const std::string& text) {
  const double value = NumericValue(text);
  if (value < kLowestFrequencyMHz) return FormatShortest(kLowestFrequencyMHz);
  if (value > kHighestFrequencyMHz) return FormatShortest(kHighestFrequencyMHz);
  return std::nullopt;
}

std::optional<std::string> ClampedRefLevelText(const std::string& text,
                                               const std::string& unitText) {
  const LevelRange range = RefLevelRange(unitText);
  const double value = NumericValue(text);
  if (value < range.lowest) return FormatShortest(range.lowest);
  if (value > range.highest) return FormatShortest(range.highest);
  return std::nullopt;
}

double BoxValue(const std::string& text) {
  const double value = NumericValue(text);
  return value == 0 ? 0.0 : value;  // -0 goes out as "0"
}

PanelChange RbwPick(const std::string& listText) {
  if (NamesBandwidth(listText)) return {PanelCommand::Rbw, 0, listText};
  return {PanelCommand::RbwAuto, 1, ""};
}

PanelChange VbwPick(const std::string& listText) {
  if (NamesBandwidth(listText)) return {PanelCommand::Vbw, 0, listText};
  return {PanelCommand::VbwAuto, 1, ""};
}

std::vector<PanelChange> ChangedFields(const PanelTexts& panel, const AnalyzerSettings& s) {
  std::vector<PanelChange> changes;
  const double start = BoxValue(panel.freqStart);
  if (start != s.FreqStart) changes.push_back({PanelCommand::FreqStart, start, ""});
  const double stop = BoxValue(panel.freqStop);
  if (stop != s.FreqStop) changes.push_back({PanelCommand::FreqStop, stop, ""});
  const double center = BoxValue(panel.freqCenter);
  if (center != s.FreqCenter) changes.push_back({PanelCommand::FreqCenter, center, ""});
  const double span = BoxValue(panel.span);
  if (s.FreqStop - s.FreqStart != span) changes.push_back({PanelCommand::Span, span, ""});
  if (ToUpper(panel.ampUnit) != ToUpper(s.RefUnit)) {
    changes.push_back({PanelCommand::AmpUnit, 0, panel.ampUnit});
  }
  const double level = BoxValue(panel.refLevel);
  if (static_cast<float>(level) != s.RefLevel) {
    changes.push_back({PanelCommand::RefLvl, level, ""});
  }
  const PanelChange rbw = RbwPick(panel.rbw);
  if (rbw.command == PanelCommand::Rbw ? ToUpper(panel.rbw) != ToUpper(s.RBW)
                                       : ToUpper(panel.rbw) != ToUpper(s.RBWMode)) {
    changes.push_back(rbw);
  }
  const PanelChange vbw = VbwPick(panel.vbw);
  if (vbw.command == PanelCommand::Vbw ? ToUpper(panel.vbw) != ToUpper(s.VBW)
                                       : ToUpper(panel.vbw) != ToUpper(s.VBWMode)) {
    changes.push_back(vbw);
  }
  return changes;
}

PanelTexts PanelTextsOf(const AnalyzerSettings& s) {
  PanelTexts t;
  t.freqStart = FormatShortest(s.FreqStart);
  t.freqStop = FormatShortest(s.FreqStop);
  t.freqCenter = FormatShortest(s.FreqCenter);
  t.span = FormatShortest(SpanToMHz(s.Span));
  t.refLevel = FormatShortest(s.RefLevel);
  t.refLevelUpDown = static_cast<int>(
      std::clamp<std::int64_t>(RoundHalfEven(s.RefLevel), kUpDownLowest, kUpDownHighest));
  t.ampUnit = s.RefUnit;
  t.ampScale = FormatShortest(s.Scale);
  t.rbw = ToUpper(s.RBWMode) == "AUTO" ? "Auto" : s.RBW;
  t.vbw = ToUpper(s.VBWMode) == "AUTO" ? "Auto" : s.VBW;
  return t;
}

void SendPanelChange(AnalyzerCommands& commands, const PanelChange& change,
                     const std::string& unitText) {
  switch (change.command) {
    case PanelCommand::FreqStart:
      commands.Set_FreqStart(change.value);
      break;
    case PanelCommand::FreqStop:
      commands.Set_FreqStop(change.value);
      break;
    case PanelCommand::FreqCenter:
      commands.Set_FreqCenter(change.value);
      break;
    case PanelCommand::Span:
      commands.Set_Span(change.value);
      break;
    case PanelCommand::AmpUnit:
      commands.Set_AmpUnit(change.text);
      break;
    case PanelCommand::RefLvl:
      commands.Set_RefLvl(change.value, unitText);
      break;
    case PanelCommand::Scale:
      commands.Set_Scale(RoundToInt32(change.value));
      break;
    case PanelCommand::Rbw:
      commands.Set_RBW(change.text, true);
      break;
    case PanelCommand::RbwAuto:
      commands.Set_RBWAuto(1);
      break;
    case PanelCommand::Vbw:
      commands.Set_VBW(change.text, true);
      break;
    case PanelCommand::VbwAuto:
      commands.Set_VBWAuto(1);
      break;
  }
}

std::vector<std::string> RbwListItems() {
  return {"Auto", "4MHz", "300KHz", "120KHz", "100KHz", "30KHz", "9KHz", "10KHz", "3KHz", "300Hz"};
}

int RecordingLimitSeconds(const std::string& unitText, const std::string& limitText) {
  const std::string unit = ToLower(Trim(unitText));
  const double value = NumericValue(limitText);
  double seconds = value;
  if (unit == "min." || unit == "min") {
    seconds = value * 60;
  } else if (unit == "hr." || unit == "hr") {
    seconds = value * 3600;
  }
  return RoundToInt32(seconds);
}

std::string ModeSpanText(double startMHz, double stopMHz) {
  const double value = stopMHz - startMHz;
  if (value >= 1 && value > 1000) return FormatShortest(value / 1000) + "GHz";
  if (value >= 1) return FormatShortest(value) + "MHz";
  return FormatPattern(value * 1000, "#0.0##") + "KHz";
}

std::optional<FieldRefusal> CheckPortNumber(const std::string& text) {
  const double value = NumericValue(text);
  if (value < 1) return FieldRefusal{kPortRangeMessage, "0"};
  if (value > 16) return FieldRefusal{kPortRangeMessage, "16"};
  return std::nullopt;
}

std::optional<FieldRefusal> CheckSamplingRate(const std::string& text) {
  if (TypedSamplingRate(text)) return std::nullopt;
  return FieldRefusal{kSamplingRateMessage, std::nullopt};
}

std::optional<double> TypedSamplingRate(const std::string& text) {
  if (!IsNumeric(text)) return std::nullopt;
  const double value = NumericValue(text);
  if (value >= 0.1 && value <= 60) return value;
  return std::nullopt;
}

std::string DriveOf(const std::string& folder) {
  const int colon = Position(folder, ":");
  return folder.substr(0, std::min(folder.size(), static_cast<std::size_t>(colon + 1)));
}

}  // namespace vantrel
