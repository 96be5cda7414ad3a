#pragma once
// The simulated 3 GHz analyzer: takes one command line at a time (case-insensitive,
// queries end in "?"), keeps its settings consistent like the instrument does, and
// answers in the formats and framings the instrument uses on each transport.
// Unknown commands are ignored; unknown queries get no answer.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/clock.h"
#include "sim/analyzer_state.h"
#include "sim/signal_scene.h"
#include "sim/sim_faults.h"

namespace vantrel::sim {

// How answers are framed: text ends in CR on serial and USB, in LF on GPIB; trace
// points take 3 bytes (high, low, CR) on serial and USB, 2 bytes on GPIB.
enum class Framing { Serial, Usb, Gpib };

struct Reply {
  std::vector<std::uint8_t> bytes;
  int delayMs = 0;   // extra lateness asked for by the faults
  bool text = true;  // a text answer; false for a trace block
};

inline constexpr const char* kIdentification = "VANTREL,SA-V61 3GHz Spectrum Analyzer,000001,1.00";

class LegacyDialect;
struct LegacyOptions;

class AnalyzerModel {
 public:
  // `clock` gives the instrument's own date and time.
  explicit AnalyzerModel(Clock& clock);

  // One command or query, without its terminator. Returns the framed answer of a
  // query, nothing for a command, an unknown query or a suppressed answer.
  std::optional<Reply> Execute(std::string_view line, Framing framing);

  AnalyzerState& State() { return state_; }
  SimFaults& Faults() { return faults_; }
  SignalScene& Scene() { return scene_; }
  Clock& ModelClock() { return clock_; }

  // Back to the power-on settings, default scene and stored data; faults cleared.
  void Reset();

  // From now on the model is the older 2.7 GHz analyzer: its dialect, its range and
  // its power-on settings (the model is reset). Null while it is the 3 GHz one.
  void UseLegacyDialect(const LegacyOptions& options);
  LegacyDialect* Legacy() { return legacy_.get(); }

  // Levels (dBm) and counts of the next sweep at the current settings.
  std::vector<double> SweepLevels();
  // Count of a level: 1023 = reference level, 80/1023 dB per count below it,
  // clamped to 0..1023; below -50 dBm the counts are relative to -50 dBm.
  static int LevelToCount(double levelDbm, double refLevelDbm);

  // Settings as the instrument derives them.
  double RbwHz() const;
  double VbwHz() const;
  double SweepTimeMs() const;
  // Reference level in the current unit.
  double RefLevelInUnit() const;
  double ToDbm(double levelInUnit) const;
  double FromDbm(double dbm) const;

  // Frequency setters with the instrument's consistency rules.
  void SetStart(std::int64_t hz);
  void SetStop(std::int64_t hz);
  void SetCentre(std::int64_t hz);
  void SetSpan(std::int64_t hz);

  // Live traces as counts after the next sweep (traces 1..3 at index 0..2).
  std::array<std::array<int, kTracePoints>, 3> TakeLiveTraces();
  // Status byte of live trace i (0..2) as sent, faults applied.
  std::uint8_t StatusByte(int i) const;

  // Counts answered so far (every answer produced, including dropped ones).
  std::uint64_t AnswersProduced() const { return answers_; }

 private:
  friend class LegacyDialect;

  std::optional<std::string> QueryText(const std::string& header, const std::string& args);
  void Command(const std::string& header, const std::string& args);
  std::vector<std::uint8_t> LiveBlock(Framing framing);
  std::vector<std::uint8_t> SingleTraceBlock(int trace, Framing framing);
  std::string StoredTraceText() const;
  // Points as text: "{v0,v1,...,v500}".
  static std::string TraceText(const std::array<std::uint16_t, kTracePoints>& points);
  std::string LimitLineText(int line);
  std::optional<Reply> Deliver(std::vector<std::uint8_t> bytes, bool text, Framing framing);
  void InvalidateHolds();
  void ApplyAutoCouplings();
  void FillDefaultStored();

  Clock& clock_;
  AnalyzerState state_;
  SimFaults faults_;
  SignalScene scene_;
  std::uint64_t sweeps_ = 0;
  std::uint64_t answers_ = 0;
  std::uint64_t garbageSeed_ = 1;
  std::array<int, kTracePoints> maxHold_{};
  std::array<int, kTracePoints> minHold_{};
  bool holdsValid_ = false;
  std::shared_ptr<LegacyDialect> legacy_;
};

}  // namespace vantrel::sim
