#pragma once
// Stand-ins for the analyzer window's devices in window tests: a recording notifier, a
// serial port with a scripted analyzer behind it, GPIB libraries present or absent,
// and a USB bus without devices.
#include <deque>
#include <string>
#include <vector>

#include "app/analyzer_links.h"
#include "link/link_error.h"

#include "support/recording_notifier.h"

namespace vantrel::testing {



// Answers "*IDN?" with `identity` when the port runs at `answerSettings`.
class ScriptedSerialPort : public SerialPort {
 public:
  std::string identity = "Vantrel Instruments,SA3GHz V61,0001,1.00";
  std::string answerSettings = "115200,N,8,1";
  bool exists = true;
  int opens = 0;

  void SetPortNumber(int number) override { number_ = number; }
  int PortNumber() const override { return number_; }
  void SetSettings(const std::string& settings) override { settings_ = settings; }
  std::string Settings() const override { return settings_; }
  void SetReceiveBufferSize(int) override {}
  void Open() override {
    if (!exists) throw LinkError("Serial port COM" + std::to_string(number_) + " does not exist.");
    open_ = true;
    ++opens;
  }
  void Close() override {
    open_ = false;
    pending_.clear();
  }
  bool IsOpen() const override { return open_; }
  int BytesWaiting() override { return static_cast<int>(pending_.size()); }
  std::vector<std::uint8_t> ReadAll() override {
    std::vector<std::uint8_t> out(pending_.begin(), pending_.end());
    pending_.clear();
    return out;
  }
  void Write(const std::vector<std::uint8_t>& bytes) override {
    const std::string text(bytes.begin(), bytes.end());
    written.push_back(text);
    if (text == "*IDN?\r" && settings_ == answerSettings) {
      for (char c : identity + "\r") pending_.push_back(static_cast<std::uint8_t>(c));
    }
  }
  std::vector<std::string> written;

 private:
  int number_ = 1;
  std::string settings_ = "9600,N,8,1";
  bool open_ = false;
  std::deque<std::uint8_t> pending_;
};

class FakeGpib : public GpibLibrary {
 public:
  explicit FakeGpib(bool present) : present_(present) {}
  int ibfind(const std::string&) override { return Check(0); }
  int ibdev(int, int, int, int, int, int) override { return Check(1); }
  int ibclr(int) override { return Check(0); }
  int ibwrt(int, const void*, long) override { return Check(0); }
  int ibrd(int, void*, long) override { return Check(kGpibErr); }
  int ibwait(int, int) override { return Check(kGpibTimo); }
  int ibrsp(int, char* status) override {
    *status = 0;
    return Check(0);
  }
  int ibloc(int) override { return Check(0); }
  int ibsta() override { return Check(0); }
  long ibcntl() override { return 0; }

 private:
  int Check(int value) {
    if (!present_) throw LinkError("The GPIB library (NI-488.2) cannot be loaded.");
    return value;
  }
  bool present_;
};

class NoHidDevices : public HidBackend {
 public:
  std::vector<HidDeviceInfo> Enumerate() override { return {}; }
  std::unique_ptr<HidDeviceHandle> Open(const std::string&) override { return nullptr; }
};

}  // namespace vantrel::testing
