#pragma once
// The older 2.7 GHz analyzer as a personality of the simulated model: its own command
// forms, a text trace ("{v0,v1,...}"), limit lines asked point by point, a 2.7 GHz
// range, and on firmware below 1.06 an answer to every command.
#include <cstdint>
#include <optional>
#include <string>

namespace vantrel::sim {

class AnalyzerModel;

inline constexpr std::int64_t kLegacyMaxFreqHz = 2'700'000'000;
inline constexpr int kLegacyBaud = 57600;
// What firmware below 1.06 answers after every command.
inline constexpr const char* kLegacyAcknowledgement = "OK";
// Limit lines hold up to this many points, asked one index at a time.
inline constexpr int kLegacyLimitPoints = 10;

struct LegacyOptions {
  double firmwareVersion = 1.10;
};

class LegacyDialect {
 public:
  explicit LegacyDialect(const LegacyOptions& options) : options_(options) {}

  LegacyOptions& Options() { return options_; }
  // Power-on settings of this model, applied over the 3 GHz defaults.
  void PowerOn(AnalyzerModel& model);
  // Text of a query's answer (header upper-case without "?", args after it); nullopt
  // for a query this model does not know.
  std::optional<std::string> Query(AnalyzerModel& model, const std::string& header,
                                   const std::string& args);
  // Carries out a command; true when it changed a setting the sweep depends on.
  bool Command(AnalyzerModel& model, const std::string& header, const std::string& args);
  bool AcknowledgesCommands() const { return options_.firmwareVersion < 1.06; }

  bool SweepAuto() const { return sweepAuto_; }
  bool LiveSelected() const { return liveSelected_; }

 private:
  LegacyOptions options_;
  bool sweepAuto_ = true;
  bool liveSelected_ = true;  // "MEAS:TRA:READ?" reads the live trace, else the stored slot
};

}  // namespace vantrel::sim
