#pragma once
// Decisions of the analyzer window's Control panel and Setting panel fields, without
// widgets: clamps, ranges, which command a field sends, the OK button's comparison,
// the texts written back from the analyzer's settings and the toolbar's recording limit.
#include <optional>
#include <string>
#include <vector>

#include "commands/analyzer_settings.h"

namespace vantrel {

class AnalyzerCommands;

inline constexpr double kLowestFrequencyMHz = 0;
inline constexpr double kHighestFrequencyMHz = 3000;
inline constexpr int kUpDownLowest = -10000;
inline constexpr int kUpDownHighest = 10000;
inline constexpr const char* kCorrectNumberText = "Please key in a correct number.";
inline constexpr const char* kPortRangeMessage =
    "Port number is from 1 to 16!\r\nPlease key in a correct number.";
inline constexpr const char* kSamplingRateMessage =
    "Sampling rate is from 0.1 to 60 seconds.!\r\nPlease key in a correct number.";

// Inclusive reference-level range of an amplitude unit text (dBm for unknown units).
struct LevelRange {
  double lowest;
  double highest;
};
LevelRange RefLevelRange(const std::string& unitText);

// The text a frequency box takes when its value is out of 0..3000 MHz: "0" or "3000".
std::optional<std::string> ClampedFrequencyText(const std::string& text);
// The text the reference box takes when its value is outside the unit's range.
std::optional<std::string> ClampedRefLevelText(const std::string& text,
                                               const std::string& unitText);

// A number read from a box as it goes out to the analyzer: lenient leading number,
// and a negative zero sent as 0.
double BoxValue(const std::string& text);

// One command of the Control panel.
enum class PanelCommand {
  FreqStart,
  FreqStop,
  FreqCenter,
  Span,
  AmpUnit,
  RefLvl,
  Scale,
  Rbw,
  RbwAuto,
  Vbw,
  VbwAuto
};
struct PanelChange {
  PanelCommand command;
  double value = 0;  // numbers
  std::string text;  // unit and bandwidth labels
  bool operator==(const PanelChange&) const = default;
};

// The command of a pick in cboRBW / cboVBW: a bandwidth label ("...Hz") or Auto.
PanelChange RbwPick(const std::string& listText);
PanelChange VbwPick(const std::string& listText);

// What the panel shows, as the OK button compares it.
struct PanelTexts {
  std::string freqStart;
  std::string freqStop;
  std::string freqCenter;
  std::string span;
  std::string refLevel;
  int refLevelUpDown = 0;
  std::string ampUnit;
  std::string ampScale;
  std::string rbw;
  std::string vbw;
};

// The OK button: every field that differs from `settings`, in the order they are sent.
std::vector<PanelChange> ChangedFields(const PanelTexts& panel, const AnalyzerSettings& settings);

// The panel texts that show `settings`.
PanelTexts PanelTextsOf(const AnalyzerSettings& settings);

// Sends one change through the command set; `unitText` is the unit list's text.
void SendPanelChange(AnalyzerCommands& commands, const PanelChange& change,
                     const std::string& unitText);

// cboRBW after a connection, in list order.
std::vector<std::string> RbwListItems();

// Seconds of the recording limit from cboRecLimitUnit and cboRecordingLimit.
int RecordingLimitSeconds(const std::string& unitText, const std::string& limitText);

// The span text SA mode shows from start and stop (MHz): "1.5GHz", "20MHz", "500.0KHz".
std::string ModeSpanText(double startMHz, double stopMHz);

// A field check that refuses a value: the message to show and the text to put back
// (nullopt keeps the typed text).
struct FieldRefusal {
  std::string message;
  std::optional<std::string> text;
};
// Combo1 on leaving it: port numbers 1..16.
std::optional<FieldRefusal> CheckPortNumber(const std::string& text);
// cboSamplingRate on leaving it: 0.1..60 seconds.
std::optional<FieldRefusal> CheckSamplingRate(const std::string& text);
// cboSamplingRate while typing: the new rate, or nullopt to keep the old one.
std::optional<double> TypedSamplingRate(const std::string& text);

// The drive part of a folder: up to and including the character after the first ":"
// ("C:\" of "C:\Program Files"; "/" for a folder without a drive letter).
std::string DriveOf(const std::string& folder);

}  // namespace vantrel
