#pragma once
// Scripted stand-ins for the serial port, the GPIB library, the HID backend and the
// notifier, with exact control of bytes and (virtual) timing.
#include <algorithm>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "link/command_transport.h"
#include "link/connection_setup.h"
#include "link/hid_backend.h"
#include "link/link_error.h"
#include "link/usb_hid.h"
#include "link/virtual_clock.h"

#include "support/recording_notifier.h"

namespace vantrel::testing {

using Bytes = std::vector<std::uint8_t>;
inline Bytes B(const std::string& s) {
  return Bytes(s.begin(), s.end());
}
inline std::string S(const Bytes& b) {
  return std::string(b.begin(), b.end());
}


// Bytes arrive at the virtual time given; `onWrite` plays the instrument.
struct ScriptedSerial : SerialPort {
  explicit ScriptedSerial(VirtualClock& c) : clock(c) {}
  VirtualClock& clock;
  bool open = false;
  int number = 0, bufferSize = 0;
  std::string settings, openError;
  std::vector<Bytes> writes;
  std::deque<std::pair<std::uint32_t, Bytes>> arrivals;
  std::function<void(const Bytes&)> onWrite;
  void Arrive(const std::string& s, std::uint32_t afterMs = 0) {
    arrivals.emplace_back(clock.NowMs() + afterMs, B(s));
  }
  void SetPortNumber(int n) override { number = n; }
  int PortNumber() const override { return number; }
  void SetSettings(const std::string& s) override { settings = s; }
  std::string Settings() const override { return settings; }
  void SetReceiveBufferSize(int b) override { bufferSize = b; }
  void Open() override {
    if (!openError.empty()) throw LinkError(openError);
    open = true;
  }
  void Close() override { open = false; }
  bool IsOpen() const override { return open; }
  int BytesWaiting() override { return static_cast<int>(Due().size()); }
  Bytes ReadAll() override {
    Bytes out = Due();
    while (!arrivals.empty() && arrivals.front().first <= clock.NowMs()) arrivals.pop_front();
    return out;
  }
  void Write(const Bytes& b) override {
    writes.push_back(b);
    if (onWrite) onWrite(b);
  }
  Bytes Due() const {
    Bytes out;
    for (const auto& [at, bytes] : arrivals)
      if (at <= clock.NowMs()) out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
  }
};

struct ScriptedGpib : GpibLibrary {
  bool missing = false, clearFails = false;
  int status = 0;
  std::vector<std::string> calls, writes;
  std::deque<std::string> answers;
  std::function<void(const std::string&)> onWrite;
  std::string statusAfterRead;
  int Call(const std::string& what, int st = 0) {
    if (missing) throw LinkError("The GPIB library could not be loaded.");
    calls.push_back(what);
    return status = st;
  }
  int ibfind(const std::string& n) override { return Call("ibfind " + n, 0), 0; }
  int ibdev(int b, int p, int s, int t, int e, int o) override {
    char text[64];
    std::snprintf(text, sizeof text, "ibdev %d %d %d %d %d %d", b, p, s, t, e, o);
    return Call(text), 7;
  }
  int ibclr(int ud) override {
    return Call("ibclr " + std::to_string(ud), clearFails ? kGpibErr : 0);
  }
  int ibwrt(int ud, const void* d, long n) override {
    Call("ibwrt " + std::to_string(ud));
    writes.emplace_back(static_cast<const char*>(d), static_cast<std::size_t>(n));
    if (onWrite) onWrite(writes.back());
    return status;
  }
  int ibrd(int ud, void* buf, long n) override {
    Call("ibrd " + std::to_string(ud) + " " + std::to_string(n));
    if (answers.empty()) return status = kGpibErr | kGpibTimo;
    std::string a = answers.front();
    answers.pop_front();
    a.copy(static_cast<char*>(buf), std::min<std::size_t>(a.size(), static_cast<std::size_t>(n)));
    return status;
  }
  int ibwait(int ud, int mask) override {
    return Call("ibwait " + std::to_string(ud) + " " + std::to_string(mask));
  }
  int ibrsp(int ud, char* sb) override {
    *sb = answers.empty() ? 0 : static_cast<char>(kStbRqs | kStbMav);
    return Call("ibrsp " + std::to_string(ud));
  }
  int ibloc(int ud) override { return Call("ibloc " + std::to_string(ud)); }
  int ibsta() override { return status; }
  long ibcntl() override { return 0; }
};

// Devices by path; each open device shares the record of what was written to it.
struct ScriptedHid : HidBackend {
  struct Device {
    HidDeviceInfo info;
    HidReportLengths lengths{65, 65, 65};
    int opens = 1000;  // how many more times it can be opened
    std::vector<Bytes> written;
    std::deque<Bytes> answers;  // feature report contents after the ID byte
    int readResult = 0;         // 0: the whole report; otherwise returned as is
    std::vector<Bytes> readRequests;
  };
  std::vector<Device> devices;
  Device& Add(const std::string& path, std::uint16_t pid = kAnalyzerProductId) {
    devices.emplace_back().info = {path, kAnalyzerVendorId, pid};
    return devices.back();
  }
  Device* Find(const std::string& path) {
    for (auto& d : devices)
      if (d.info.path == path) return &d;
    return nullptr;
  }
  struct Handle : HidDeviceHandle {
    ScriptedHid& hid;
    std::string path;
    Handle(ScriptedHid& h, std::string p) : hid(h), path(std::move(p)) {}
    HidReportLengths ReportLengths() override {
      Device* d = hid.Find(path);
      return d ? d->lengths : HidReportLengths{};
    }
    int WriteOutputReport(const Bytes& r) override {
      Device* d = hid.Find(path);
      if (!d) return -1;
      d->written.push_back(r);
      return static_cast<int>(r.size());
    }
    int GetFeatureReport(Bytes& r) override {
      Device* d = hid.Find(path);
      if (!d) return -1;
      d->readRequests.push_back(r);
      if (d->answers.empty()) return -1;
      Bytes a = d->answers.front();
      d->answers.pop_front();
      std::copy_n(a.begin(), std::min(a.size(), r.size() - 1), r.begin() + 1);
      return d->readResult ? d->readResult : static_cast<int>(r.size());
    }
  };
  std::vector<HidDeviceInfo> Enumerate() override {
    std::vector<HidDeviceInfo> out;
    for (const auto& d : devices) out.push_back(d.info);
    return out;
  }
  std::unique_ptr<HidDeviceHandle> Open(const std::string& path) override {
    Device* d = Find(path);
    if (!d || d->opens <= 0) return nullptr;
    --d->opens;
    return std::make_unique<Handle>(*this, path);
  }
};

// Everything one analyzer window owns, wired together.
struct Rig {
  VirtualClock clock;
  RecordingNotifier notifier;
  ScriptedSerial serial{clock};
  ScriptedGpib gpib;
  ScriptedHid hid;
  UsbHid usb{hid, notifier};
  CommandTransport transport{LinkPorts{clock, notifier, serial, gpib, usb}};
  ConnectionSetup setup{transport};
  ConnectionKind kind = ConnectionKind::ComPort;
  Rig() {
    transport.selectedKind = [this] { return kind; };
  }
};

}  // namespace vantrel::testing
