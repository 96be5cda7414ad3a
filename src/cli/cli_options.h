#pragma once
// vantrel-cli's command line: connection options before the command, then the command and
// its own options. Plain C++, so every rule is tested without a process.
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::cli {

enum class LinkChoice { Serial, SerialDevice, Usb, Gpib };

enum ExitCode { kExitOk = 0, kExitUsage = 1, kExitLink = 2, kExitFile = 3, kExitExceeded = 4 };

struct CliOptions {
  LinkChoice link = LinkChoice::Serial;
  int serialPort = 1;
  std::string serialDevice;
  int usbIndex = 0;
  int gpibAddress = 2;
  std::string standardsDir;
  std::string correctionsDir;
  bool json = false;
  std::string command;
  // The command's options by name without "--": a value, or "" for a flag.
  std::map<std::string, std::string> values;
  std::vector<std::string> positional;

  bool Has(const std::string& name) const { return values.count(name) > 0; }
  std::string Value(const std::string& name) const;
  // Every value of an option given more than once, in order.
  std::vector<std::string> Values(const std::string& name) const;
  // The option's number; nullopt when absent. Throws UsageError when it is not a number.
  std::optional<double> Number(const std::string& name) const;
};

struct UsageError {
  std::string message;
};

// Parses argv[1..]; throws UsageError naming the offending word.
CliOptions ParseCliOptions(const std::vector<std::string>& args);

// The --help text.
std::string CliUsage();

}  // namespace vantrel::cli
