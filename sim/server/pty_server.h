#pragma once
// Serves the simulated analyzer on a pseudo-terminal: LINK becomes a symbolic link to
// the pty's device; the analyzer answers only while the port's baud rate (as the
// client set it on the pty) equals its own.
#include <string>
#include <vector>

namespace vantrel::sim {

struct ServerOptions {
  std::string link;
  std::string model = "3ghz";
  int baud = 115200;
  // Firmware version of the 2.7 GHz model (below 1.06 it answers every command).
  double firmware = 1.10;
  int latencyMs = 3;
  // Answers leave at the line rate the client set (10 bits a byte), as from a UART;
  // off, they are handed to the pty at once.
  bool paceByBaud = true;
  bool garbageAtWrongBaud = false;
  std::string scene = "default";  // a SignalScene::Named name
  std::vector<std::string> faults;  // "name" or "name=value", as ApplyFaultOption takes them
};

// Runs until SIGTERM or SIGINT; returns the process exit code.
int RunPtyServer(const ServerOptions& options);

// Whether the platform can express this baud rate on a terminal.
bool IsSupportedBaud(int baud);

}  // namespace vantrel::sim
