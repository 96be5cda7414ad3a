#include "support/scripted_analyzer.h"

#include <algorithm>
#include <cstring>

namespace vantrel::testing {

struct ScriptedAnalyzer::Serial : SerialPort {
  explicit Serial(ScriptedAnalyzer& a) : analyzer(a) {}
  ScriptedAnalyzer& analyzer;
  bool open = true;
  void SetPortNumber(int) override {}
  int PortNumber() const override { return 1; }
  void SetSettings(const std::string&) override {}
  std::string Settings() const override { return "57600,N,8,1"; }
  void SetReceiveBufferSize(int) override {}
  void Open() override { open = true; }
  void Close() override { open = false; }
  bool IsOpen() const override { return open && !analyzer.vanished; }
  int BytesWaiting() override { return static_cast<int>(analyzer.DueCount()); }
  Bytes ReadAll() override { return analyzer.TakeDue(SIZE_MAX); }
  void Write(const Bytes& bytes) override {
    if (analyzer.vanished) throw LinkError("The port is gone.");
    std::string command(bytes.begin(), bytes.end());
    if (!command.empty() && command.back() == '\r') command.pop_back();
    analyzer.Received(command, true);
  }
};

struct ScriptedAnalyzer::Gpib : GpibLibrary {
  explicit Gpib(ScriptedAnalyzer& a) : analyzer(a) {}
  ScriptedAnalyzer& analyzer;
  int status = 0;
  long count = 0;
  int ibfind(const std::string&) override { return 0; }
  int ibdev(int, int, int, int, int, int) override { return 1; }
  int ibclr(int) override { return status = 0; }
  int ibwrt(int, const void* data, long n) override {
    std::string command(static_cast<const char*>(data), static_cast<std::size_t>(n));
    if (!command.empty() && command.back() == ';') command.pop_back();
    analyzer.Received(command, false);
    count = n;
    return status = kGpibCmpl;
  }
  int ibrd(int, void* buffer, long n) override {
    const Bytes got = analyzer.TakeDue(static_cast<std::size_t>(n));
    if (!got.empty()) std::memcpy(buffer, got.data(), got.size());
    count = static_cast<long>(got.size());
    return status = got.empty() ? (kGpibErr | kGpibTimo) : (kGpibCmpl | kGpibEnd);
  }
  int ibwait(int, int) override {
    // Waits for the answer (the 3 s time-out when none comes).
    for (int waited = 0; analyzer.DueCount() == 0 && !analyzer.pending.empty() && waited < 3000;
         waited += 10)
      analyzer.clock.Sleep(10);
    return status = kGpibRqs;
  }
  int ibrsp(int, char* stb) override {
    *stb = static_cast<char>(kStbRqs | kStbMav);
    return status = 0;
  }
  int ibloc(int) override { return 0; }
  int ibsta() override { return status; }
  long ibcntl() override { return count; }
};

struct ScriptedAnalyzer::Hid : HidBackend {
  explicit Hid(ScriptedAnalyzer& a) : analyzer(a) {}
  ScriptedAnalyzer& analyzer;
  struct Handle : HidDeviceHandle {
    explicit Handle(ScriptedAnalyzer& a) : analyzer(a) {}
    ScriptedAnalyzer& analyzer;
    HidReportLengths ReportLengths() override { return {65, 65, 65}; }
    int WriteOutputReport(const Bytes& report) override {
      if (analyzer.vanished) return -1;
      std::string command;
      for (std::size_t i = 1; i < report.size() && report[i] != '\n'; ++i)
        command.push_back(static_cast<char>(report[i]));
      analyzer.Received(command, true);
      return static_cast<int>(report.size());
    }
    int GetFeatureReport(Bytes& report) override {
      ++analyzer.featureReads;
      if (analyzer.vanished) return -1;
      Bytes got = analyzer.TakeDue(report.size() - 1);
      if (got.empty() && analyzer.repeatLastReport) got = last;
      last = got;
      std::copy(got.begin(), got.end(), report.begin() + 1);
      return static_cast<int>(report.size());
    }
    Bytes last;
  };
  std::vector<HidDeviceInfo> Enumerate() override {
    return {{"hid0", kAnalyzerVendorId, kAnalyzerProductId}};
  }
  std::unique_ptr<HidDeviceHandle> Open(const std::string&) override {
    return std::make_unique<Handle>(analyzer);
  }
};

ScriptedAnalyzer::ScriptedAnalyzer()
    : serial(std::make_unique<Serial>(*this)),
      gpib(std::make_unique<Gpib>(*this)),
      hid(std::make_unique<Hid>(*this)),
      usb(std::make_unique<UsbHid>(*hid, notifier)) {
  usb->Open("hid0");
  transport = std::make_unique<CommandTransport>(LinkPorts{clock, notifier, *serial, *gpib, *usb});
}

ScriptedAnalyzer::~ScriptedAnalyzer() = default;

CommandTransport& ScriptedAnalyzer::Transport(ConnectionKind kind) {
  transport->selectedKind = [kind] { return kind; };
  return *transport;
}

int ScriptedAnalyzer::Count(const std::string& command) const {
  return static_cast<int>(std::count(commands.begin(), commands.end(), command));
}

void ScriptedAnalyzer::Received(const std::string& command, bool textWithCr) {
  commands.push_back(command);
  std::vector<Piece> pieces = respond(command);
  if (pieces.empty()) {
    auto it = answers.find(command);
    if (it != answers.end() && !it->second.empty()) {
      std::string text = it->second.front();
      if (it->second.size() > 1) it->second.pop_front();
      if (textWithCr) text += '\r';
      pieces.push_back({ToBytes(text), 0});
    }
  }
  const std::uint32_t now = clock.NowMs();
  for (Piece& piece : pieces) {
    if (!piece.bytes.empty()) pending.push_back({now + piece.afterMs, std::move(piece.bytes), 0});
  }
}

std::size_t ScriptedAnalyzer::DueCount() {
  if (vanished) return 0;
  std::size_t n = 0;
  for (const Pending& p : pending) {
    if (p.at > clock.NowMs()) break;
    n += p.bytes.size() - p.taken;
  }
  return n;
}

std::vector<std::uint8_t> ScriptedAnalyzer::TakeDue(std::size_t limit) {
  Bytes out;
  if (vanished) return out;
  while (!pending.empty() && out.size() < limit && pending.front().at <= clock.NowMs()) {
    Pending& p = pending.front();
    const std::size_t n = std::min(limit - out.size(), p.bytes.size() - p.taken);
    const auto from = p.bytes.begin() + static_cast<std::ptrdiff_t>(p.taken);
    out.insert(out.end(), from, from + static_cast<std::ptrdiff_t>(n));
    p.taken += n;
    if (p.taken == p.bytes.size()) pending.pop_front();
  }
  return out;
}

}  // namespace vantrel::testing

namespace vantrel::testing {
void ScriptedAnalyzer::SetSerialOpen(bool open) {
  serial->open = open;
}
}  // namespace vantrel::testing
