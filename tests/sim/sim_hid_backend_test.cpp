#include "sim/sim_hid_backend.h"

#include <gtest/gtest.h>

#include <string>

#include "link/virtual_clock.h"

namespace vantrel::sim {
namespace {

std::vector<std::uint8_t> OutputReport(const std::string& command, std::size_t length = 65) {
  std::vector<std::uint8_t> report(length, 0);
  for (std::size_t i = 0; i < command.size(); ++i)
    report[1 + i] = static_cast<std::uint8_t>(command[i]);
  report[1 + command.size()] = 10;
  return report;
}

std::vector<std::uint8_t> Feature(HidDeviceHandle& handle, std::size_t length = 65) {
  std::vector<std::uint8_t> report(length, 0);
  EXPECT_EQ(handle.GetFeatureReport(report), static_cast<int>(length));
  return report;
}

TEST(SimHid, EnumeratesAnalyzersAmongOtherDevices) {
  VirtualClock clock;
  SimHidBackend hid(clock, 2);
  hid.Analyzer(1).lengths = {64, 33, 129};
  const auto list = hid.Enumerate();
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].vendorId, 14913);
  EXPECT_EQ(list[0].productId, kOtherProductId);
  EXPECT_EQ(list[1].productId, 2855);
  EXPECT_EQ(list[2].productId, 2855);
  EXPECT_NE(list[1].path, list[2].path);
  auto second = hid.Open(list[2].path);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->ReportLengths().output, 33);
  EXPECT_EQ(second->ReportLengths().feature, 129);

  hid.Remove(list[1].path);
  EXPECT_EQ(hid.Enumerate().size(), 2u);
  EXPECT_FALSE(hid.Open(list[1].path));
  EXPECT_EQ(second->ReportLengths().feature, 129);  // the other one is still there

  hid.Analyzer(1).vanishOnOpen = true;  // gone between listing and opening
  EXPECT_FALSE(hid.Open(list[2].path));
  EXPECT_EQ(hid.Enumerate().size(), 1u);
}

TEST(SimHid, CommandsInOutputReportsAnswersInFeatureReports) {
  VirtualClock clock;
  SimHidBackend hid(clock);
  auto dev = hid.Open(hid.Analyzer(0).path);
  ASSERT_TRUE(dev);
  EXPECT_EQ(dev->WriteOutputReport(OutputReport("*IDN?")), 65);
  const auto report = Feature(*dev);
  EXPECT_EQ(report[0], 0);
  const std::string id = kIdentification;
  EXPECT_EQ(std::string(report.begin() + 1, report.begin() + 1 + static_cast<long>(id.size())), id);
  EXPECT_EQ(report[1 + id.size()], 13);
  for (std::size_t i = 2 + id.size(); i < report.size(); ++i) ASSERT_EQ(report[i], 0) << i;
  // Nothing more to read: an all-zero report.
  const auto after = Feature(*dev);
  EXPECT_EQ(std::count(after.begin(), after.end(), 0), 65);

  // A command that fills the report exactly (length - 3 characters) still arrives.
  const std::string longest = "MEAS:FREQ:CEN 1000 MHz" + std::string(62 - 22, ' ');
  ASSERT_EQ(longest.size(), 62u);
  EXPECT_EQ(dev->WriteOutputReport(OutputReport(longest)), 65);
  EXPECT_DOUBLE_EQ(hid.Model(0).State().CentreHz(), 1e9);
  EXPECT_EQ(dev->WriteOutputReport(std::vector<std::uint8_t>(66, 0)), -1);  // too long

  // A three-trace block: 64 data bytes a report, 4518 bytes in 71 reports.
  dev->WriteOutputReport(OutputReport("meas:tra:read all?"));
  std::vector<std::uint8_t> block;
  for (int r = 0; r < 71; ++r) {
    const auto part = Feature(*dev);
    block.insert(block.end(), part.begin() + 1, part.end());
  }
  ASSERT_GE(block.size(), 4518u);
  EXPECT_EQ(block[2], 13);
  EXPECT_EQ(block[5], 13);
  EXPECT_EQ(block[8], 13);
  EXPECT_EQ(block[9 + 3 * 1503 - 1], 13);  // last point's CR
}

TEST(SimHid, WideFeatureReportsCarryTextWholeButTraceBlocksIn64ByteSteps) {
  VirtualClock clock;
  SimHidBackend hid(clock, 0);
  hid.AddAnalyzer({129, 129, 129});
  auto dev = hid.Open(hid.Analyzer(0).path);
  ASSERT_TRUE(dev);
  dev->WriteOutputReport(OutputReport("meas:tra:read 1?", 129));
  const auto first = Feature(*dev, 129);
  const auto second = Feature(*dev, 129);
  // Bytes 65..128 stay zero; the second report goes on where the first left off.
  for (std::size_t i = 65; i < 129; ++i) {
    ASSERT_EQ(first[i], 0) << i;
    ASSERT_EQ(second[i], 0) << i;
  }
  EXPECT_EQ(first[3], 13);   // point 0: high, low, CR at block byte 2
  EXPECT_EQ(second[2], 13);  // block byte 65 is the CR of point 21
  EXPECT_EQ(second[62], 13);

  // A text answer is not held to 64 bytes.
  const std::string id = kIdentification;
  dev->WriteOutputReport(OutputReport("*IDN?", 129));
  const auto text = Feature(*dev, 129);
  EXPECT_EQ(std::string(text.begin() + 1, text.begin() + 1 + static_cast<long>(id.size())), id);

  // A device whose feature reports have no length reads nothing instead of overrunning.
  hid.AddAnalyzer({65, 65, 0});
  auto none = hid.Open(hid.Analyzer(1).path);
  ASSERT_TRUE(none);
  none->WriteOutputReport(OutputReport("*IDN?"));
  std::vector<std::uint8_t> report(65, 0);
  EXPECT_EQ(none->GetFeatureReport(report), -1);
}

TEST(SimHid, EmptyReadsLateAnswersAndVanishing) {
  VirtualClock clock;
  SimHidBackend hid(clock);
  auto& analyzer = hid.Analyzer(0);
  auto dev = hid.Open(analyzer.path);
  ASSERT_TRUE(dev);
  analyzer.emptyReads = 1;
  dev->WriteOutputReport(OutputReport("MEAS:SPAN?"));
  std::vector<std::uint8_t> report(65, 0);
  EXPECT_EQ(dev->GetFeatureReport(report), -1);
  EXPECT_EQ(Feature(*dev)[1], '3');

  analyzer.model->Faults().answerDelayMs = 100;
  dev->WriteOutputReport(OutputReport("MEAS:SPAN?"));
  EXPECT_EQ(Feature(*dev)[1], 0);  // not ready yet
  clock.Sleep(100);
  EXPECT_EQ(Feature(*dev)[1], '3');

  analyzer.model->Faults().vanished = true;
  EXPECT_EQ(dev->WriteOutputReport(OutputReport("*IDN?")), -1);
  EXPECT_EQ(dev->GetFeatureReport(report), -1);
  EXPECT_EQ(hid.Enumerate().size(), 1u);  // only the other device is left
}

}  // namespace
}  // namespace vantrel::sim
