#include "sim/sim_serial_port.h"

#include <gtest/gtest.h>

#include <string>

#include "link/link_error.h"
#include "link/virtual_clock.h"

namespace vantrel::sim {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}
std::string Text(const std::vector<std::uint8_t>& bytes) {
  return {bytes.begin(), bytes.end()};
}

class SerialTest : public ::testing::Test {
 protected:
  void OpenAt(const char* settings) {
    port.SetSettings(settings);
    port.Open();
  }
  VirtualClock clock{4'294'967'000u};  // close to the counter's wrap on purpose
  AnalyzerModel model{clock};
  SimSerialPort port{clock, model};
};

TEST_F(SerialTest, AnswersAfterTheLatencyAtTheRightBaud) {
  OpenAt("115200,N,8,1");
  port.Write(Bytes("*IDN?\r"));
  EXPECT_EQ(port.BytesWaiting(), 0);  // nothing before the latency has passed
  clock.Sleep(10);
  const std::string answer = Text(port.ReadAll());
  EXPECT_EQ(answer, std::string(kIdentification) + "\r");
  EXPECT_EQ(port.BytesWaiting(), 0);

  // Two commands in one write and a command split over two writes.
  port.Write(Bytes("MEAS:SPAN 20 MHz\rMEAS:SPAN?\rMEAS:FREQ"));
  port.Write(Bytes(":ST?\r"));
  clock.Sleep(20);
  EXPECT_EQ(Text(port.ReadAll()), "20000kHz\r1490000 kHz\r");
  ASSERT_EQ(port.Received().size(), 4u);
  EXPECT_EQ(port.Received()[0], "*IDN?");
  EXPECT_EQ(port.Received()[3], "MEAS:FREQ:ST?");

  port.InjectBytes(Bytes("stale\r"));
  clock.Sleep(5);
  EXPECT_EQ(port.BytesWaiting(), 6);
}

TEST_F(SerialTest, WrongBaudGivesSilenceOrGarbage) {
  OpenAt("57600,N,8,1");
  port.Write(Bytes("*IDN?\r"));
  clock.Sleep(500);
  EXPECT_EQ(port.BytesWaiting(), 0);
  EXPECT_TRUE(port.Received().empty());

  port.Options().wrongBaud = WrongBaudBehaviour::Garbage;
  port.Write(Bytes("*IDN?\r"));
  clock.Sleep(50);
  const std::string noise = Text(port.ReadAll());
  EXPECT_FALSE(noise.empty());
  EXPECT_EQ(noise.find("3GHz"), std::string::npos);

  port.Close();
  OpenAt("115200,N,8,1");
  port.Write(Bytes("*IDN?\r"));
  clock.Sleep(10);
  EXPECT_EQ(Text(port.ReadAll()), std::string(kIdentification) + "\r");

  port.Options().wrongBaud = WrongBaudBehaviour::Silence;
  port.Options().instrumentBaud = 57600;  // an analyzer set to 57600
  port.Write(Bytes("*IDN?\r"));
  clock.Sleep(50);
  EXPECT_EQ(port.BytesWaiting(), 0);
}

TEST_F(SerialTest, TraceBlocksTrickleInAndReadsTakeAtMost4095Bytes) {
  OpenAt("115200,N,8,1");
  port.Write(Bytes("meas:tra:read all?\r"));
  clock.Sleep(100);
  const int early = port.BytesWaiting();
  EXPECT_GT(early, 9);
  EXPECT_LT(early, 4518);  // 4518 bytes need about 392 ms at 115200 baud
  clock.Sleep(300);
  EXPECT_EQ(port.BytesWaiting(), 4518);
  const auto first = port.ReadAll();
  EXPECT_EQ(first.size(), 4095u);
  EXPECT_EQ(port.ReadAll().size(), 4518u - 4095u);

  // At 57600 baud the same block takes twice as long.
  port.Close();
  port.Options().instrumentBaud = 57600;
  OpenAt("57600,N,8,1");
  port.Write(Bytes("meas:tra:read all?\r"));
  clock.Sleep(400);
  EXPECT_LT(port.BytesWaiting(), 4518);
  clock.Sleep(400);
  EXPECT_EQ(port.BytesWaiting(), 4518);

  // A receive buffer smaller than the block loses the rest, like an overrun.
  port.Close();
  port.SetReceiveBufferSize(3072);
  OpenAt("57600,N,8,1");
  port.Write(Bytes("meas:tra:read all?\r"));
  clock.Sleep(1000);
  EXPECT_EQ(port.BytesWaiting(), 3072);
}

TEST_F(SerialTest, OpenFailuresSettingsAndVanishing) {
  EXPECT_THROW(port.SetSettings("fast,N,8,1"), LinkError);
  EXPECT_THROW(port.SetSettings("115200,X,8,1"), LinkError);
  EXPECT_THROW(port.SetSettings("115200,N,8"), LinkError);
  EXPECT_EQ(port.Settings(), "9600,N,8,1");
  port.SetSettings("115200,n,8,1");
  EXPECT_EQ(port.Baud(), 115200);

  port.Options().openFailure = OpenFailure::InUse;
  try {
    port.Open();
    FAIL() << "opened a port in use";
  } catch (const LinkError& e) {
    EXPECT_STREQ(e.what(), kPortInUseText);
  }
  EXPECT_FALSE(port.IsOpen());
  port.Options().openFailure = OpenFailure::None;
  port.Options().analyzerPort = 3;
  port.SetPortNumber(4);
  EXPECT_THROW(port.Open(), LinkError);
  port.SetPortNumber(3);
  port.Open();
  EXPECT_TRUE(port.IsOpen());

  // Closed ports neither take commands nor deliver answers.
  port.Close();
  port.Write(Bytes("MEAS:SPAN 1 MHz\r"));
  EXPECT_EQ(model.State().SpanHz(), 3'000'000'000);
  EXPECT_TRUE(port.ReadAll().empty());

  port.Open();
  model.Faults().vanishAfter = 0;
  port.Write(Bytes("*IDN?\r"));
  clock.Sleep(10);
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(port.BytesWaiting(), 0);
  EXPECT_THROW(port.Open(), LinkError);
}

TEST_F(SerialTest, LateAnswersArriveAfterTheirDelay) {
  OpenAt("115200,N,8,1");
  model.Faults().answerDelayMs = 1500;
  port.Write(Bytes("*IDN?\r"));
  clock.Sleep(1000);
  EXPECT_EQ(port.BytesWaiting(), 0);
  clock.Sleep(600);
  EXPECT_GT(port.BytesWaiting(), 0);
}

}  // namespace
}  // namespace vantrel::sim
