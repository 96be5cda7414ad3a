#include "sim/sim_gpib_library.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "link/link_error.h"
#include "link/virtual_clock.h"

namespace vantrel::sim {
namespace {

class GpibTest : public ::testing::Test {
 protected:
  int OpenDevice(int address = 2) {
    const int ud = gpib.ibdev(0, address, 0, kGpibTimeout3s, 1, 0);
    EXPECT_GE(ud, 0);
    return ud;
  }
  void Write(int ud, const std::string& message) {
    EXPECT_FALSE(gpib.ibwrt(ud, message.data(), static_cast<long>(message.size())) & kGpibErr);
  }
  VirtualClock clock;
  AnalyzerModel model{clock};
  SimGpibLibrary gpib{clock, model};
};

TEST_F(GpibTest, ServiceRequestExchangeReadsTheAnswer) {
  EXPECT_EQ(gpib.ibfind("GPIB0"), kSimGpibBoardDescriptor);
  const int ud = OpenDevice();
  EXPECT_FALSE(gpib.ibclr(ud) & kGpibErr);
  Write(ud, "*cls;");
  Write(ud, "*sre 16;");
  Write(ud, "*IDN?");
  const std::uint32_t before = clock.NowMs();
  const int status = gpib.ibwait(ud, kGpibRqs | kGpibTimo);
  EXPECT_TRUE(status & kGpibRqs);
  EXPECT_FALSE(status & kGpibTimo);
  EXPECT_LT(clock.NowMs() - before, 100u);
  char stb = 0;
  gpib.ibrsp(ud, &stb);
  EXPECT_EQ(static_cast<std::uint8_t>(stb), 0x50);
  char buffer[4096] = {};
  const int rd = gpib.ibrd(ud, buffer, sizeof buffer);
  EXPECT_TRUE(rd & kGpibEnd);
  EXPECT_FALSE(rd & kGpibErr);
  EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(gpib.ibcntl())),
            std::string(kIdentification) + "\n");
  // After the poll, no second request for the same answer.
  char again = 0;
  gpib.ibrsp(ud, &again);
  EXPECT_EQ(again & 0x40, 0);

  // Commands with ";" take effect; a message may hold several.
  Write(ud, "MEAS:FREQ:ST 100 MHz;MEAS:FREQ:STP 200 MHz;");
  EXPECT_EQ(model.State().startHz, 100'000'000);
  EXPECT_EQ(model.State().stopHz, 200'000'000);
  EXPECT_EQ(gpib.Received().back(), "MEAS:FREQ:ST 100 MHz;MEAS:FREQ:STP 200 MHz;");
}

TEST_F(GpibTest, TraceBlocksAndPartialReads) {
  const int ud = OpenDevice(7);
  Write(ud, "*sre 16;");
  Write(ud, "meas:tra:read all?");
  ASSERT_TRUE(gpib.ibwait(ud, kGpibRqs | kGpibTimo) & kGpibRqs);
  std::vector<std::uint8_t> block(8194);
  const int rd = gpib.ibrd(ud, block.data(), 4096);
  EXPECT_TRUE(rd & kGpibEnd);
  EXPECT_EQ(gpib.ibcntl(), 3 * 1002 + 6);

  Write(ud, "MEAS:SPAN?");
  char part[4] = {};
  EXPECT_FALSE(gpib.ibrd(ud, part, 4) & kGpibEnd);
  EXPECT_EQ(std::string(part, 4), "3000");
  char rest[32] = {};
  EXPECT_TRUE(gpib.ibrd(ud, rest, sizeof rest) & kGpibEnd);
  EXPECT_EQ(std::string(rest, static_cast<std::size_t>(gpib.ibcntl())), "000kHz\n");
}

TEST_F(GpibTest, TimeOutsPassOnTheClock) {
  const int ud = OpenDevice();
  // Without "*sre 16" the analyzer never requests service: the wait times out after 3 s.
  Write(ud, "*IDN?");
  std::uint32_t before = clock.NowMs();
  int status = gpib.ibwait(ud, kGpibRqs | kGpibTimo);
  EXPECT_TRUE(status & kGpibTimo);
  EXPECT_FALSE(status & kGpibRqs);
  EXPECT_EQ(clock.NowMs() - before, 3000u);
  char stb = 0;
  gpib.ibrsp(ud, &stb);
  EXPECT_EQ(static_cast<std::uint8_t>(stb), kStbMav);  // answer there, no request

  // A silent analyzer: the read itself times out with ERR.
  Write(ud, "*sre 16;");
  model.Faults().silent = true;
  Write(ud, "*IDN?");
  before = clock.NowMs();
  EXPECT_TRUE(gpib.ibwait(ud, kGpibRqs | kGpibTimo) & kGpibTimo);
  char buffer[64];
  status = gpib.ibrd(ud, buffer, sizeof buffer);
  EXPECT_TRUE(status & kGpibErr);
  EXPECT_EQ(gpib.iberr(), kGpibEabo);
  EXPECT_EQ(gpib.ibcntl(), 0);
  EXPECT_EQ(clock.NowMs() - before, 6000u);

  // A late answer inside the time-out is waited for; beyond it, not.
  model.Faults().silent = false;
  model.Faults().answerDelayMs = 1000;
  Write(ud, "*IDN?");
  EXPECT_TRUE(gpib.ibwait(ud, kGpibRqs | kGpibTimo) & kGpibRqs);
  model.Faults().answerDelayMs = 5000;
  Write(ud, "*IDN?");
  EXPECT_TRUE(gpib.ibwait(ud, kGpibRqs | kGpibTimo) & kGpibTimo);
}

TEST_F(GpibTest, BadArgumentsMissingBoardsAndAbsentListeners) {
  EXPECT_EQ(gpib.ibdev(0, 31, 0, 12, 1, 0), -1);
  EXPECT_TRUE(gpib.ibsta() & kGpibErr);
  EXPECT_EQ(gpib.iberr(), kGpibEarg);
  EXPECT_TRUE(gpib.ibwrt(999, "x", 1) & kGpibErr);
  EXPECT_EQ(gpib.iberr(), kGpibEdvr);
  EXPECT_EQ(gpib.ibfind("GPIB7"), -1);

  gpib.Options().onlyAddress = 5;
  const int nobody = OpenDevice(2);
  EXPECT_TRUE(gpib.ibclr(nobody) & kGpibErr);
  EXPECT_EQ(gpib.iberr(), kGpibEnol);
  const int analyzer = OpenDevice(5);
  EXPECT_FALSE(gpib.ibclr(analyzer) & kGpibErr);
  EXPECT_FALSE(gpib.ibloc(analyzer) & kGpibErr);
  EXPECT_EQ(gpib.LocalCount(), 1);

  model.Faults().vanished = true;
  EXPECT_TRUE(gpib.ibwrt(analyzer, "*IDN?", 5) & kGpibErr);
  EXPECT_EQ(gpib.iberr(), kGpibEnol);

  gpib.Options().noBoard = true;
  EXPECT_EQ(gpib.ibfind("GPIB0"), -1);
  EXPECT_EQ(gpib.iberr(), kGpibEneb);
  gpib.Options().libraryMissing = true;
  EXPECT_THROW(gpib.ibfind("GPIB0"), LinkError);
  EXPECT_THROW(gpib.ibdev(0, 2, 0, 12, 1, 0), LinkError);
}

}  // namespace
}  // namespace vantrel::sim
