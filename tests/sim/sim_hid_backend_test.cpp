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
