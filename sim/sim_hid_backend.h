#pragma once
// Simulated analyzers behind the program's HidBackend seam. Commands arrive in output
// reports (report ID 0, command bytes, LF, 0); answers leave in feature reports of
// feature-length bytes: byte 0 is the report ID, then up to (length - 1) answer bytes,
// zero-padded. A text answer ends in CR; a trace block fills 64 data bytes per report
// whatever the feature length.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "link/hid_backend.h"
#include "sim/analyzer_model.h"
#include "sim/sim_time.h"

namespace vantrel::sim {

inline constexpr std::uint16_t kAnalyzerVendorId = 14913;  // 0x3A41
inline constexpr std::uint16_t kAnalyzerProductId = 2855;  // 0x0B27
inline constexpr std::uint16_t kOtherProductId = 2856;     // same maker, another device
inline constexpr std::size_t kTraceReportDataBytes = 64;

struct SimHidDevice {
  std::string path;
  std::uint16_t vendorId = kAnalyzerVendorId;
  std::uint16_t productId = kAnalyzerProductId;
  HidReportLengths lengths{65, 65, 65};
  bool vanishOnOpen = false;             // listed by Enumerate, gone when opened
  int emptyReads = 0;                    // the next N feature reads return nothing (-1)
  int latencyMs = 0;                     // from the output report to the answer being readable
  int transferMs = 2;                    // each report in either direction takes this long
  std::unique_ptr<AnalyzerModel> model;  // null for a device that is not an analyzer
  // Every command received, in order.
  std::vector<std::string> received;
  // The answer being read out, report by report.
  std::vector<std::uint8_t> pending;
  bool pendingIsBlock = false;
  std::size_t readPos = 0;
  std::int64_t readyAt = 0;
  bool removed = false;
  int openHandles = 0;
};

class SimHidBackend : public HidBackend {
 public:
  // `analyzers` analyzers (paths "sim-hid/analyzer0", ...) listed after another HID
  // device of the same vendor with product ID 2856 ("sim-hid/other0").
  explicit SimHidBackend(Clock& clock, int analyzers = 1);

  std::vector<HidDeviceInfo> Enumerate() override;
  std::unique_ptr<HidDeviceHandle> Open(const std::string& path) override;

  // Adds an analyzer with its own model at the end of the enumeration order.
  SimHidDevice& AddAnalyzer(HidReportLengths lengths = {65, 65, 65});
  SimHidDevice& AddOtherDevice(std::uint16_t vendorId, std::uint16_t productId);
  // Unplugs a device: it leaves the enumeration and open handles fail.
  void Remove(const std::string& path);
  void RemoveAll();
  // Analyzers in enumeration order (index among analyzers only).
  SimHidDevice& Analyzer(int index);
  AnalyzerModel& Model(int index) { return *Analyzer(index).model; }
  SimHidDevice* FindDevice(const std::string& path);
  int AnalyzerCount() const;

 private:
  SimTime time_;
  std::vector<std::shared_ptr<SimHidDevice>> devices_;
  int nextAnalyzer_ = 0;
  int nextOther_ = 0;
};

}  // namespace vantrel::sim
