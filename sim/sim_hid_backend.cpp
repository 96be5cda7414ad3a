#include "sim/sim_hid_backend.h"

#include <algorithm>
#include <stdexcept>

namespace vantrel::sim {
namespace {

class SimHidHandle : public HidDeviceHandle {
 public:
  SimHidHandle(std::shared_ptr<SimHidDevice> device, SimTime& time)
      : device_(std::move(device)), time_(time) {
    ++device_->openHandles;
  }
  ~SimHidHandle() override { --device_->openHandles; }

  HidReportLengths ReportLengths() override {
    return Gone() ? HidReportLengths{} : device_->lengths;
  }

  int WriteOutputReport(const std::vector<std::uint8_t>& report) override {
    SimHidDevice& d = *device_;
    if (Gone() || report.empty() || report.size() > d.lengths.output) return -1;
    Transfer();
    std::string command;
    for (std::size_t i = 1; i < report.size() && report[i] != '\n' && report[i] != 0; ++i) {
      command.push_back(static_cast<char>(report[i]));
    }
    d.received.push_back(command);
    // A new command ends any answer not yet read.
    d.pending.clear();
    d.readPos = 0;
    if (d.model) {
      if (auto reply = d.model->Execute(command, Framing::Usb)) {
        d.pending = std::move(reply->bytes);
        d.pendingIsBlock = !reply->text;
        d.readyAt = time_.Now() + d.latencyMs + reply->delayMs;
      }
    }
    return static_cast<int>(report.size());
  }

  int GetFeatureReport(std::vector<std::uint8_t>& report) override {
    SimHidDevice& d = *device_;
    if (Gone() || report.empty()) return -1;
    if (d.emptyReads > 0) {
      --d.emptyReads;
      return -1;
    }
    const std::size_t length = std::min<std::size_t>(report.size(), d.lengths.feature);
    if (length == 0) return -1;  // a device without feature reports
    Transfer();
    std::fill(report.begin() + 1, report.begin() + static_cast<long>(length), 0);
    if (d.readPos < d.pending.size() && d.readyAt <= time_.Now()) {
      const std::size_t room =
          d.pendingIsBlock ? std::min(length - 1, kTraceReportDataBytes) : length - 1;
      const std::size_t n = std::min(room, d.pending.size() - d.readPos);
      std::copy_n(d.pending.begin() + static_cast<long>(d.readPos), n, report.begin() + 1);
      d.readPos += n;
    }
    return static_cast<int>(length);
  }

 private:
  // A report crosses the bus in a control transfer of a few milliseconds; the call
  // blocks meanwhile, as the operating system's does.
  void Transfer() {
    if (device_->transferMs > 0) time_.GetClock().Sleep(device_->transferMs);
  }

  bool Gone() const {
    return device_->removed || (device_->model && device_->model->Faults().vanished);
  }
  std::shared_ptr<SimHidDevice> device_;
  SimTime& time_;
};

}  // namespace

SimHidBackend::SimHidBackend(Clock& clock, int analyzers) : time_(clock) {
  AddOtherDevice(kAnalyzerVendorId, kOtherProductId);
  for (int i = 0; i < analyzers; ++i) AddAnalyzer();
}

std::vector<HidDeviceInfo> SimHidBackend::Enumerate() {
  std::vector<HidDeviceInfo> list;
  for (const auto& d : devices_) {
    if (d->removed || (d->model && d->model->Faults().vanished)) continue;
    list.push_back({d->path, d->vendorId, d->productId});
  }
  return list;
}

std::unique_ptr<HidDeviceHandle> SimHidBackend::Open(const std::string& path) {
  for (auto& d : devices_) {
    if (d->path != path || d->removed) continue;
    if (d->vanishOnOpen) {
      d->removed = true;
      return nullptr;
    }
    if (d->model && d->model->Faults().vanished) return nullptr;
    return std::make_unique<SimHidHandle>(d, time_);
  }
  return nullptr;
}

SimHidDevice& SimHidBackend::AddAnalyzer(HidReportLengths lengths) {
  auto d = std::make_shared<SimHidDevice>();
  d->path = "sim-hid/analyzer" + std::to_string(nextAnalyzer_++);
  d->lengths = lengths;
  d->model = std::make_unique<AnalyzerModel>(time_.GetClock());
  devices_.push_back(d);
  return *d;
}

SimHidDevice& SimHidBackend::AddOtherDevice(std::uint16_t vendorId, std::uint16_t productId) {
  auto d = std::make_shared<SimHidDevice>();
  d->path = "sim-hid/other" + std::to_string(nextOther_++);
  d->vendorId = vendorId;
  d->productId = productId;
  devices_.push_back(d);
  return *d;
}

void SimHidBackend::Remove(const std::string& path) {
  for (auto& d : devices_) {
    if (d->path == path) d->removed = true;
  }
}

void SimHidBackend::RemoveAll() {
  for (auto& d : devices_) d->removed = true;
}

SimHidDevice& SimHidBackend::Analyzer(int index) {
  int seen = 0;
  for (auto& d : devices_) {
    if (!d->model) continue;
    if (seen++ == index) return *d;
  }
  throw std::out_of_range("no simulated analyzer " + std::to_string(index));
}

SimHidDevice* SimHidBackend::FindDevice(const std::string& path) {
  for (auto& d : devices_) {
    if (d->path == path) return d.get();
  }
  return nullptr;
}

int SimHidBackend::AnalyzerCount() const {
  return static_cast<int>(std::count_if(devices_.begin(), devices_.end(),
                                        [](const auto& d) { return d->model != nullptr; }));
}

}  // namespace vantrel::sim
