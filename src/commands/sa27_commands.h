#pragma once
// The 2.7 GHz model's command dialect over its link. Queries ask once (the link has no
// retry table); after a communication failure they give 0 or "" without I/O.
#include <string>
#include <string_view>

#include "commands/limit_line.h"
#include "commands/raw_trace.h"
#include "link/sa27_link.h"

namespace vantrel {

// Waits for the answers, in milliseconds.
inline constexpr double kSa27SettingWaitMs = 10;
inline constexpr double kSa27LiveTraceWaitMs = 200;
inline constexpr double kSa27StoredTraceWaitMs = 300;
inline constexpr double kSa27LimitPointWaitMs = 500;
// Limit lines hold up to this many points, asked one index at a time.
inline constexpr int kSa27LimitPoints = 10;

// A sweep-time answer in milliseconds: the last two characters of the trimmed answer,
// upper-cased and trimmed, name the unit: "US" (x 1/1000), "MS", "S" (x 1000).
double Sa27SweepTimeMs(std::string_view answer);

// RBW command code of a label ("3KHZ" -> 2 ... "4MHZ" -> 7, any case); 0 when it has none.
int Sa27RbwCode(std::string_view label);

enum class Sa27LimitKind { Higher, Lower };

class Sa27Commands {
 public:
  explicit Sa27Commands(Sa27Link& link) : link_(link) {}

  double Get_RefLevel();
  std::string Get_RefUnit();
  double Get_Scale();
  std::string Get_Clock();
  double Get_SweepTime();  // milliseconds
  std::string Get_SweepMode();
  std::string Get_RBW();
  std::string Get_VBW();
  double Get_FreqStart();  // MHz (the answers are in kHz)
  double Get_FreqStop();
  double Get_FreqCenter();
  double Get_Span();
  bool Get_MarkerMode();
  double Get_MarkerFreq();  // MHz, of the selected marker
  double Get_MarkerLevel();

  void Set_RefLevel(double level);
  void Set_Scale(double dbPerDiv);
  void Set_Unit(const std::string& unit);
  void Set_SweepMode(bool automatic);
  void Set_RBWMode(bool automatic);
  // A label outside the table sends nothing.
  void Set_RBW(std::string_view label);
  void Set_FreqStart(double mhz);
  void Set_FreqStop(double mhz);
  void Set_MarkerSelect(int marker);

  void SwitchToLive();
  void SwitchToStored(int index);
  // "MEAS:TRA:READ?" into `points`; returns how many values the answer held.
  int ReadTrace(double waitMs, std::span<std::int16_t, kTracePoints> points);
  // Points 0..9 of a limit line; an empty frequency answer ends the list early. Status
  // panel 1 shows "Reading limit line data ..." and then each point read.
  LimitLine ReadLimitLine(Sa27LimitKind kind);

  Sa27Link& Link() { return link_; }

 private:
  double Number(const char* query);
  Sa27Link& link_;
};

// "LLim 3:  1000MHz,  -25dBm" (HLim for the higher line).
std::string Sa27LimitPointLine(Sa27LimitKind kind, int index, const LimitPoint& point);

}  // namespace vantrel
