#pragma once
// The program's transport wired to the in-process simulated analyzer on one link.
#include <string>
#include <vector>

#include "link/command_transport.h"
#include "link/usb_hid.h"
#include "link/virtual_clock.h"
#include "support/scripted_analyzer.h"
#include "sim/analyzer_model.h"
#include "sim/sim_gpib_library.h"
#include "sim/sim_hid_backend.h"
#include "sim/sim_serial_port.h"

namespace vantrel::testing {

class SimLink {
 public:
  explicit SimLink(ConnectionKind kind) : kind_(kind) {
    serial.SetSettings("115200,N,8,1");
    serial.Open();
    usb.Open("sim-hid/analyzer0");
    transport.gpibHandle = gpib.ibdev(0, 2, 0, kGpibTimeout3s, 1, 0);
    transport.selectedKind = [kind] { return kind; };
    if (kind == ConnectionKind::Gpib) transport.SendCMD("*sre 16");
  }

  sim::AnalyzerModel& Model() { return kind_ == ConnectionKind::Usb ? hid.Model(0) : model; }
  // Commands the analyzer received on this link, terminators and ";" removed.
  std::vector<std::string> Received() {
    std::vector<std::string> out;
    if (kind_ == ConnectionKind::ComPort) out = serial.Received();
    if (kind_ == ConnectionKind::Usb) out = hid.Analyzer(0).received;
    if (kind_ == ConnectionKind::Gpib) {
      for (std::string m : gpib.Received()) {
        if (!m.empty() && m.back() == ';') m.pop_back();
        out.push_back(m);
      }
    }
    return out;
  }
  int Count(const std::string& command) {
    const auto r = Received();
    return static_cast<int>(std::count(r.begin(), r.end(), command));
  }

  VirtualClock clock;
  RecordingNotifier notifier;
  sim::AnalyzerModel model{clock};
  sim::SimSerialPort serial{clock, model};
  sim::SimGpibLibrary gpib{clock, model};
  sim::SimHidBackend hid{clock};
  UsbHid usb{hid, notifier};
  CommandTransport transport{LinkPorts{clock, notifier, serial, gpib, usb}};

 private:
  ConnectionKind kind_;
};

inline constexpr ConnectionKind kEveryLink[] = {ConnectionKind::ComPort, ConnectionKind::Usb,
                                                ConnectionKind::Gpib};

}  // namespace vantrel::testing
