#pragma once
// One connection to the analyzer for vantrel-cli: the same transport, connection setup,
// command set and refresh the analyzer window composes, on the platform's devices, with
// status texts on standard error instead of a status bar.
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "commands/analyzer_commands.h"
#include "display/display_state.h"
#include "display/refresh_source.h"
#include "display/trace_refresh.h"
#include "link/command_transport.h"
#include "link/connection_setup.h"
#include "link/gpib_library.h"
#include "link/hid_backend.h"
#include "link/serial_port.h"
#include "link/usb_hid.h"
#include "platform/qt_clock.h"

namespace vantrel::cli {

// Status texts as lines on standard error (one live line when it is a terminal); messages
// that would be boxes as "vantrel-cli: text" lines.
class StderrNotifier : public Notifier {
 public:
  StderrNotifier();
  MessageResult ShowMessage(const std::string& text, MessageIcon icon,
                            MessageButtons buttons = MessageButtons::Ok) override;
  void SetStatus(const std::string& text) override;
  void SetBusy(bool) override {}
  void EndLine();
  // True when `text` was already shown, as a message or a status line.
  bool Shown(const std::string& text) const;

 private:
  bool live_;
  bool lineOpen_ = false;
  std::string last_;
  std::vector<std::string> shown_;
};

class CliSession {
 public:
  explicit CliSession(const CliOptions& options);
  ~CliSession();

  // Connects as the window's connect button does; false with the cause on standard error.
  bool Connect();
  void Disconnect();
  // A refresh of the traces and/or settings into State(); true when it ended well.
  bool Refresh(bool traces, bool settings);

  Clock& GetClock() { return clock_; }
  Notifier& GetNotifier() { return notifier_; }
  CommandTransport& Transport() { return transport_; }
  ConnectionSetup& Setup() { return setup_; }
  AnalyzerCommands& Commands() { return commands_; }
  DisplayState& State() { return state_; }
  vantrel::RefreshHooks& Hooks() { return refresh_.hooks; }

 private:
  QtClock clock_;
  StderrNotifier notifier_;
  std::string iniPath_;  // a scratch ComPorts.ini for --serial-device
  std::unique_ptr<SerialPort> serial_;
  std::unique_ptr<GpibLibrary> gpib_;
  std::unique_ptr<HidBackend> hid_;
  UsbHid usb_;
  CommandTransport transport_;
  ConnectionSetup setup_;
  AnalyzerCommands commands_;
  AnalyzerRefreshSource source_;
  DisplayState state_;
  TraceRefresh refresh_;
  ConnectionKind kind_;
  bool connected_ = false;
};

}  // namespace vantrel::cli
