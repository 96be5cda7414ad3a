#include "cli/cli_options.h"

#include <charconv>
#include <cmath>
#include <set>

namespace vantrel::cli {

namespace {

struct CommandRule {
  const char* name;
  std::set<std::string> valued;  // options that take a value
  std::set<std::string> flags;
  std::size_t positional;        // words after the options
};

const CommandRule kCommands[] = {
    {"identify", {}, {}, 0},
    {"settings", {}, {}, 0},
    {"capture",
     {"start", "stop", "center", "span", "ref-level", "scale", "rbw", "vbw", "detector", "out"},
     {},
     0},
    {"record", {"rate", "duration", "records", "folder"}, {"peaks"}, 0},
    {"standards", {"mode"}, {"check"}, 0},
    {"sp3-to-text", {}, {"keep-partial"}, 2},
    {"emi",
     {"mode", "standard", "detector", "ref-level", "correction", "out", "results", "report",
      "guard-band", "emissions"},
     {"remeasure", "fail-on-exceed"},
     0},
    {"spot", {"freq", "standard", "detector", "ref-level", "correction"}, {"fail-on-exceed"}, 0},
    {"waterfall", {"rows"}, {}, 2},
};

// Options that name things rather than numbers.
const std::set<std::string> kTextOptions{"out",  "folder",   "rbw",      "vbw",     "detector",
                                         "mode", "standard", "correction", "results", "report"};

double StrictNumber(const std::string& option, const std::string& text) {
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value)) {
    throw UsageError{"--" + option + " needs a number, not \"" + text + "\""};
  }
  return value;
}

int WholeNumber(const std::string& option, const std::string& text) {
  const double value = StrictNumber(option, text);
  if (value != std::floor(value) || value < 0 || value > 1e6) {
    throw UsageError{"--" + option + " needs a whole number, not \"" + text + "\""};
  }
  return static_cast<int>(value);
}

bool IsOption(const std::string& word) { return word.size() > 2 && word.rfind("--", 0) == 0; }

}  // namespace

std::string CliOptions::Value(const std::string& name) const {
  const auto it = values.find(name);
  return it == values.end() ? std::string() : it->second;
}

std::vector<std::string> CliOptions::Values(const std::string& name) const {
  std::vector<std::string> out;
  if (!Has(name)) return out;
  const std::string all = Value(name);
  std::size_t start = 0;
  for (std::size_t end; (end = all.find('\n', start)) != std::string::npos; start = end + 1)
    out.push_back(all.substr(start, end - start));
  out.push_back(all.substr(start));
  return out;
}

std::optional<double> CliOptions::Number(const std::string& name) const {
  if (!Has(name)) return std::nullopt;
  return StrictNumber(name, Value(name));
}

CliOptions ParseCliOptions(const std::vector<std::string>& args) {
  CliOptions o;
  std::size_t i = 0;
  auto next = [&](const std::string& option) -> std::string {
    if (i + 1 >= args.size()) throw UsageError{"--" + option + " needs a value"};
    return args[++i];
  };
  for (; i < args.size() && IsOption(args[i]); ++i) {
    const std::string option = args[i].substr(2);
    if (option == "serial") {
      o.link = LinkChoice::Serial;
      o.serialPort = WholeNumber(option, next(option));
    } else if (option == "serial-device") {
      o.link = LinkChoice::SerialDevice;
      o.serialDevice = next(option);
    } else if (option == "usb") {
      o.link = LinkChoice::Usb;
      if (i + 1 < args.size() && !args[i + 1].empty() && std::isdigit(static_cast<unsigned char>(args[i + 1][0])))
        o.usbIndex = WholeNumber(option, args[++i]);
    } else if (option == "gpib") {
      o.link = LinkChoice::Gpib;
      o.gpibAddress = WholeNumber(option, next(option));
    } else if (option == "standards") {
      o.standardsDir = next(option);
    } else if (option == "corrections") {
      o.correctionsDir = next(option);
    } else if (option == "json") {
      o.json = true;
    } else if (option == "help") {
      o.command = "help";
      return o;
    } else {
      throw UsageError{"unknown option --" + option};
    }
  }
  if (i >= args.size()) throw UsageError{"no command given"};
  o.command = args[i++];
  const CommandRule* rule = nullptr;
  for (const CommandRule& r : kCommands) {
    if (o.command == r.name) rule = &r;
  }
  if (rule == nullptr) throw UsageError{"unknown command \"" + o.command + "\""};
  for (; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (!IsOption(word)) {
      o.positional.push_back(word);
      continue;
    }
    const std::string option = word.substr(2);
    if (option == "json") {
      o.json = true;
    } else if (rule->valued.count(option)) {
      // A repeated option keeps every value, one a line (--correction a --correction b).
      const std::string value = next(option);
      o.values[option] = o.Has(option) ? o.values[option] + "\n" + value : value;
    } else if (rule->flags.count(option)) {
      o.values[option] = "";
    } else {
      throw UsageError{"unknown option --" + option + " for " + o.command};
    }
  }
  if (o.positional.size() != rule->positional) {
    throw UsageError{o.command + " takes " + std::to_string(rule->positional) + " file name(s)"};
  }
  for (const auto& [name, value] : o.values) {
    if (rule->valued.count(name) && !kTextOptions.count(name)) StrictNumber(name, value);
  }
  return o;
}

std::string CliUsage() {
  return "usage: vantrel-cli [LINK] [--json] COMMAND [OPTIONS]\n"
         "\n"
         "LINK (default --serial 1):\n"
         "  --serial N             serial port N, mapped through ComPorts.ini\n"
         "  --serial-device PATH   the serial device itself\n"
         "  --usb [INDEX]          the INDEXth analyzer on USB (default 0)\n"
         "  --gpib ADDR            GPIB address\n"
         "  --standards DIR        the folder of limit standards\n"
         "  --corrections DIR      the folder of correction tables\n"
         "\n"
         "COMMANDS:\n"
         "  identify               print the analyzer's identification\n"
         "  settings               print every setting, key=value (or --json)\n"
         "  capture [--start MHz --stop MHz | --center MHz --span MHz] [--ref-level L]\n"
         "          [--scale S] [--rbw LABEL] [--vbw LABEL] [--detector NAME] [--out FILE]\n"
         "                         set what is given, refresh, write the spectrum as text\n"
         "  record --rate SECONDS (--duration SECONDS | --records N) [--peaks] [--folder DIR]\n"
         "                         record into yyyymmddhhnnss.sp3; Ctrl-C ends after the\n"
         "                         current record\n"
         "  standards [--mode conducted|radiation] [--check]\n"
         "                         list the limit standards; --check prints each file's\n"
         "                         problems\n"
         "  sp3-to-text [--keep-partial] SOURCE TARGET\n"
         "                         a recording as text (TARGET \"-\": standard output)\n"
         "  emi --mode conducted|radiation --standard NAME [--detector D] [--ref-level L]\n"
         "      [--correction FILE]... [--guard-band DB] [--emissions N] [--remeasure]\n"
         "      [--out WAVE.txt] [--results FILE.csv] [--report FILE.pdf] [--fail-on-exceed]\n"
         "                         the wide-range scan, its results table with margins and\n"
         "                         verdicts, and the final QP/AV measurement of the close ones\n"
         "  spot --freq MHz --standard NAME [--detector D] [--correction FILE]...\n"
         "                         the single-point test: level, limits, margins and verdict\n"
         "  waterfall [--rows N] SOURCE.sp3 OUT.png\n"
         "                         the last N sweeps of trace 1 (default 500) as a picture,\n"
         "                         newest at the top, one column per trace point\n"
         "\n"
         "Exit status: 0 done, 1 usage error, 2 no connection or link failure, 3 file error,\n"
         "4 a limit was exceeded and --fail-on-exceed was given.\n";
}

}  // namespace vantrel::cli
