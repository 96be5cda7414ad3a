#pragma once
// The analyzer window's mirror of the analyzer's settings, and the value tables that
// translate between the analyzer's index codes and the labels the program shows.
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vantrel {

struct AnalyzerSettings {
  float RefLevel = 0.0f;    // in the current amplitude unit
  std::string RefUnit;      // "dBm", "dBmV", "dBuV" or ""
  float Scale = 0.0f;       // dB per division: 10, 5, 2 or 1
  double FreqStart = 0.0;   // MHz
  double FreqStop = 0.0;    // MHz
  double FreqCenter = 0.0;  // MHz
  std::string RBW;          // RBW label such as "120KHz"
  std::string VBW;          // VBW label such as "1MHz"
  std::string Span;         // span with unit such as "20MHz"
  std::string Detection;    // detector name such as "Peak+"
  std::string SweepTime;    // as the analyzer states it, such as "100 ms"
  std::string RBWMode;      // contains "AUTO" or "MANU"
  std::string VBWMode;
  std::string TimeStamp;  // "yyyy/mm/dd hh:mm:ss" of the last refresh
};

// A label table: entry i is the label of index i ("CON:RBW:MAN i" / "CON:RBW?").
inline constexpr std::string_view kRbwLabels[] = {"300Hz",  "3KHz",   "9KHz",   "10KHz", "30KHz",
                                                  "100KHz", "120KHz", "300KHz", "4MHz"};
inline constexpr std::string_view kVbwLabels[] = {
    "10Hz", "30Hz", "100Hz", "300Hz", "1KHz", "3KHz", "10KHz", "30KHz", "100KHz", "300KHz", "1MHz"};

// Detector codes 1..5 ("MEAS:TRA:DET n"); entry 0 is code 1.
inline constexpr std::string_view kDetectorNames[] = {"Normal", "Sample", "Peak+", "AVG", "QPeak"};
struct DetectorAlias {
  std::string_view name;  // trimmed, upper-cased form accepted from the user
  int code;
};
inline constexpr DetectorAlias kDetectorAliases[] = {
    {"NORMAL", 1}, {"SAMPLE", 2}, {"PEAK+", 3}, {"PEAK", 3}, {"AVG", 4}, {"QPEAK", 5}, {"QP", 5}};

// Amplitude unit codes 1..3 ("MEAS:REFL:UNIT n"); entry 0 is code 1.
inline constexpr std::string_view kUnitNames[] = {"dBm", "dBmV", "dBuV"};

// Scale codes 1..4 ("MEAS:REFL:SCALE n") in dB per division; entry 0 is code 1.
inline constexpr int kScaleDbPerDiv[] = {10, 5, 2, 1};

// Label of an index of `table`; "" when the value is not one of its indices.
std::string TableLabel(std::span<const std::string_view> table, double index);
// Index of a label in `table`, comparing both with spaces removed and upper-cased.
std::optional<int> TableIndex(std::span<const std::string_view> table, std::string_view label);

// Detector name of a code 1..5; "" otherwise.
std::string DetectorName(double code);
// Code of a detector name (trimmed, upper-cased, aliases "PEAK" and "QP" included).
std::optional<int> DetectorCode(std::string_view name);
// Unit name of a code 1..3; "" otherwise.
std::string UnitName(double code);
// Code of "DBM", "DBMV" or "DBUV" (trimmed, upper-cased).
std::optional<int> UnitCode(std::string_view name);
// dB/div of a scale code 1..4; 0 otherwise.
float ScaleOfCode(double code);
// Scale code of 10, 5, 2 or 1 dB/div.
std::optional<int> ScaleCode(int dbPerDiv);

}  // namespace vantrel
