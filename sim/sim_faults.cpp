#include "sim/sim_faults.h"

#include <charconv>

#include "sim/analyzer_model.h"
#include "util/text.h"

namespace vantrel::sim {
namespace {

bool ParseInt(std::string_view text, int& value) {
  std::string t = Trim(text);
  int base = 10;
  std::size_t start = 0;
  if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
    base = 16;
    start = 2;
  }
  const char* first = t.data() + start;
  const char* last = t.data() + t.size();
  auto [ptr, ec] = std::from_chars(first, last, value, base);
  return ec == std::errc() && ptr == last && first != last;
}

bool ParseFlag(std::string_view text, bool& value) {
  const std::string t = ToLower(Trim(text));
  if (t.empty() || t == "1" || t == "on" || t == "true" || t == "yes") {
    value = true;
    return true;
  }
  if (t == "0" || t == "off" || t == "false" || t == "no") {
    value = false;
    return true;
  }
  return false;
}

}  // namespace

const std::vector<FaultOptionInfo>& FaultOptions() {
  static const std::vector<FaultOptionInfo> options{
      {"reset", "", "clear every fault and return to the power-on settings and data"},
      {"answer-delay", "MS", "every answer arrives MS milliseconds late"},
      {"drop-answers", "N", "the next N answers are never sent (-1: none from now on)"},
      {"bare-numbers", "N", "the next N answers with a unit come as bare numbers"},
      {"bare-numbers-query", "QUERY", "limit bare-numbers to this query (e.g. MEAS:FREQ:ST?)"},
      {"rbw-index", "N", "\"CON:RBW?\" answers N from now on (9 is out of the table)"},
      {"vbw-index", "N", "\"CON:VBW?\" answers N from now on (11 is out of the table)"},
      {"override", "QUERY=TEXT", "QUERY answers TEXT from now on"},
      {"bad-check-bytes", "N", "the next N live trace blocks carry wrong check bytes"},
      {"only-trace2", "", "only live trace 2 is present"},
      {"status-bytes", "B1,B2,B3", "status bytes of live traces 1..3 (e.g. 0xC1,0xC5,-)"},
      {"point-0400", "INDEX", "point INDEX (0..500) of every live trace reads 0x0400"},
      {"stored-65535", "SLOT", "stored trace SLOT holds 65535, 1, 2 and zeros"},
      {"short-limit-lines", "N", "the next N limit-line answers lack their last field"},
      {"garbage", "N", "the next N answers are garbage bytes"},
      {"silent", "", "the link answers nothing from now on"},
      {"silent-after", "N", "the link goes silent after N more answers"},
      {"vanish", "", "the link disappears (port closed, device gone, no listener)"},
      {"vanish-after", "N", "the link disappears after N more answers"},
  };
  return options;
}

std::string ApplyFaultOption(AnalyzerModel& model, std::string_view option) {
  std::string text = Trim(option);
  while (text.rfind("--", 0) == 0) text.erase(0, 2);
  const auto eq = text.find('=');
  const std::string name = ToLower(Trim(text.substr(0, eq)));
  const std::string value = eq == std::string::npos ? "" : Trim(text.substr(eq + 1));
  SimFaults& f = model.Faults();
  const std::string bad = "invalid value for " + name + ": \"" + value + "\"";
  int n = 0;
  bool flag = false;

  auto needInt = [&](int& target, int minimum) -> std::string {
    if (!ParseInt(value, n) || n < minimum) return bad;
    target = n;
    return "";
  };

  if (name == "reset") {
    model.Reset();
    return "";
  }
  if (name == "answer-delay") return needInt(f.answerDelayMs, 0);
  if (name == "drop-answers") return needInt(f.dropAnswers, -1);
  if (name == "bare-numbers") return needInt(f.bareNumbers, -1);
  if (name == "bare-numbers-query") {
    f.bareNumbersQuery = ToUpper(value);
    return "";
  }
  if (name == "rbw-index" || name == "vbw-index") {
    if (!ParseInt(value, n)) return bad;
    f.overrides[name == "rbw-index" ? "CON:RBW?" : "CON:VBW?"] = {std::to_string(n), -1};
    return "";
  }
  if (name == "override") {
    const auto split = value.find('=');
    if (split == std::string::npos || split == 0) return bad;
    f.overrides[ToUpper(Trim(value.substr(0, split)))] = {value.substr(split + 1), -1};
    return "";
  }
  if (name == "bad-check-bytes") return needInt(f.badCheckBytes, -1);
  if (name == "only-trace2") {
    if (!ParseFlag(value, flag)) return bad;
    f.onlyTrace2 = flag;
    return "";
  }
  if (name == "status-bytes") {
    std::array<int, 3> bytes{-1, -1, -1};
    std::size_t from = 0;
    for (int i = 0; i < 3; ++i) {
      const auto comma = value.find(',', from);
      const std::string field =
          Trim(value.substr(from, comma == std::string::npos ? std::string::npos : comma - from));
      if (field != "-" && (!ParseInt(field, n) || n < 0 || n > 255)) return bad;
      if (field != "-") bytes[i] = n;
      if (comma == std::string::npos) {
        if (i != 2) return bad;
        break;
      }
      from = comma + 1;
    }
    f.statusBytes = bytes;
    return "";
  }
  if (name == "point-0400") {
    if (!ParseInt(value, n) || n < 0 || n >= kTracePoints) return bad;
    f.point0400 = n;
    return "";
  }
  if (name == "stored-65535") {
    if (!ParseInt(value, n) || n < 1 || n > kStoredTraceSlots) return bad;
    auto& slot = model.State().stored[n - 1];
    slot.fill(0);
    slot[0] = 65535;
    slot[1] = 1;
    slot[2] = 2;
    return "";
  }
  if (name == "short-limit-lines") return needInt(f.shortLimitLines, -1);
  if (name == "garbage") return needInt(f.garbageAnswers, -1);
  if (name == "silent") {
    if (!ParseFlag(value, flag)) return bad;
    f.silent = flag;
    return "";
  }
  if (name == "silent-after") return needInt(f.silentAfter, 0);
  if (name == "vanish") {
    if (!ParseFlag(value, flag)) return bad;
    f.vanished = flag;
    return "";
  }
  if (name == "vanish-after") return needInt(f.vanishAfter, 0);
  return "unknown option: " + name;
}

}  // namespace vantrel::sim
