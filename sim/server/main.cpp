// vantrel-sim: the simulated 3 GHz analyzer on a pseudo-terminal.
//   vantrel-sim --serial LINK [--model 3ghz|2.7ghz] [options]
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sim/legacy_dialect.h"
#include "sim/server/pty_server.h"
#include "sim/signal_scene.h"
#include "sim/sim_faults.h"
#include "util/numbers.h"

namespace {

void PrintHelp() {
  std::printf(
      "Usage: vantrel-sim --serial LINK [--model 3ghz|2.7ghz] [options]\n"
      "Serves a simulated spectrum analyzer on a pseudo-terminal. LINK becomes a\n"
      "symbolic link to the terminal device; \"ready LINK\" is printed once it answers.\n"
      "Runs until SIGTERM or SIGINT, then removes LINK.\n\n"
      "Options:\n"
      "  --serial LINK          path of the symbolic link to create (required)\n"
      "  --model 3ghz|2.7ghz    analyzer model (default 3ghz)\n"
      "  --baud N               the analyzer's baud rate (default 115200, 57600 for the\n"
      "                         2.7 GHz model); it answers only\n"
      "                         while the port is set to this rate\n"
      "  --firmware VERSION     firmware of the 2.7 GHz model (default 1.10); below 1.06\n"
      "                         it answers every command\n"
      "  --latency MS           delay before each answer (default 3)\n"
      "  --no-pacing            hand answers over at once instead of at the port's line\n"
      "                         rate (10 bits a byte at the baud rate the client set)\n"
      "  --wrong-baud silence|garbage\n"
      "                         what the port receives at a wrong baud rate (default silence)\n"
      "  --scene NAME           input signal: default, quiet or emi (a device under test\n"
      "                         for EMI mode)\n"
      "  --help                 this text\n\n"
      "Faults (each also as --NAME=VALUE):\n");
  for (const auto& f : vantrel::sim::FaultOptions()) {
    std::string left = std::string("--") + f.name;
    if (*f.argument) left += std::string(" ") + f.argument;
    std::printf("  %-26s %s\n", left.c_str(), f.help);
  }
}

int Usage(const std::string& message) {
  std::fprintf(stderr, "vantrel-sim: %s\nTry 'vantrel-sim --help'.\n", message.c_str());
  return 2;
}

const vantrel::sim::FaultOptionInfo* FindFault(std::string_view name) {
  for (const auto& f : vantrel::sim::FaultOptions()) {
    if (name == f.name) return &f;
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  vantrel::sim::ServerOptions options;
  bool baudGiven = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--", 0) != 0) return Usage("unexpected argument: " + arg);
    std::string name = arg.substr(2);
    std::string value;
    bool hasValue = false;
    if (const auto eq = name.find('='); eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.erase(eq);
      hasValue = true;
    }
    auto takeValue = [&]() -> bool {
      if (hasValue) return true;
      if (i + 1 >= argc) return false;
      value = argv[++i];
      return true;
    };
    if (name == "help") {
      PrintHelp();
      return 0;
    }
    if (name == "no-pacing") {
      options.paceByBaud = false;
      continue;
    }
    if (name == "serial" || name == "model" || name == "baud" || name == "latency" ||
        name == "wrong-baud" || name == "scene" || name == "firmware") {
      if (!takeValue()) return Usage("--" + name + " needs a value");
      if (name == "serial") options.link = value;
      if (name == "model") options.model = value;
      if (name == "scene") {
        if (!vantrel::sim::SignalScene::Named(value)) return Usage("unknown scene: " + value);
        options.scene = value;
      }
      if (name == "firmware") {
        if (!vantrel::IsNumeric(value) || vantrel::NumericValue(value) <= 0) {
          return Usage("invalid firmware version: " + value);
        }
        options.firmware = vantrel::NumericValue(value);
      }
      if (name == "baud") {
        baudGiven = true;
        if (!vantrel::IsNumeric(value)) return Usage("invalid baud rate: " + value);
        options.baud = static_cast<int>(vantrel::NumericValue(value));
        if (!vantrel::sim::IsSupportedBaud(options.baud)) {
          return Usage("unsupported baud rate: " + value);
        }
      }
      if (name == "latency") {
        if (!vantrel::IsNumeric(value) || vantrel::NumericValue(value) < 0) {
          return Usage("invalid latency: " + value);
        }
        options.latencyMs = static_cast<int>(vantrel::NumericValue(value));
      }
      if (name == "wrong-baud") {
        if (value != "silence" && value != "garbage")
          return Usage("invalid --wrong-baud: " + value);
        options.garbageAtWrongBaud = value == "garbage";
      }
      continue;
    }
    const auto* fault = FindFault(name);
    if (fault == nullptr) return Usage("unknown option: " + arg);
    if (*fault->argument && !takeValue()) return Usage("--" + name + " needs a value");
    options.faults.push_back(hasValue || *fault->argument ? name + "=" + value : name);
  }
  if (options.link.empty()) return Usage("--serial LINK is required");
  if (options.model == "2.7ghz" && !baudGiven) options.baud = vantrel::sim::kLegacyBaud;
  if (options.model != "3ghz" && options.model != "2.7ghz") return Usage("unknown model: " + options.model);
  return vantrel::sim::RunPtyServer(options);
}
