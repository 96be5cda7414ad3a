#include "commands/live_traces.h"

#include <gtest/gtest.h>

#include "commands/trace_block.h"
#include "support/scripted_analyzer.h"
#include "trace_bytes.h"

namespace vantrel::testing {
namespace {

constexpr ConnectionKind kAllKinds[] = {ConnectionKind::ComPort, ConnectionKind::Usb,
                                        ConnectionKind::Gpib};
bool IsGpib(ConnectionKind k) {
  return k == ConnectionKind::Gpib;
}

std::vector<RawTrace> ColouredTraces() {
  std::vector<RawTrace> t(3);
  for (std::size_t i = 0; i < 3; ++i) {
    t[i].SetColour(0x00FF8000u + static_cast<std::uint32_t>(i));
    t[i].Points()[7] = 999;  // stale content that the read must replace
  }
  return t;
}

// Answers "meas:tra:read all?" with `blocks` in turn (the last repeats).
void ServeBlocks(ScriptedAnalyzer& a, std::vector<std::vector<std::uint8_t>> blocks) {
  a.respond = [&a, blocks, n = std::size_t{0}](const std::string& c) mutable {
    if (c != "meas:tra:read all?") return std::vector<Piece>{};
    const auto& b = blocks[std::min(n++, blocks.size() - 1)];
    return std::vector<Piece>{{b, 0}};
  };
}

TEST(ReadAllTraces, OnlyTraceTwoPresentOnEveryLink) {
  for (ConnectionKind kind : kAllKinds) {
    SCOPED_TRACE(ConnectionKindText(kind));
    ScriptedAnalyzer a;
    const auto block = AllTracesBlock({0x00, 0x41, 0xC5}, {Ramp(200)}, IsGpib(kind));
    if (!IsGpib(kind)) {
      EXPECT_EQ(block.size(), 1512u);
    }
    ServeBlocks(a, {block});
    auto traces = ColouredTraces();
    ReadAllTraces(a.Transport(kind), traces);
    EXPECT_EQ(a.Count("meas:tra:read all?"), 1);
    EXPECT_FALSE(traces[0].Valid());
    EXPECT_FALSE(traces[2].Valid());
    EXPECT_TRUE(traces[1].Valid());
    EXPECT_EQ(traces[1].words[RawTrace::kValidWord], -1);
    EXPECT_EQ(traces[1].Mode(), 1);
    EXPECT_EQ(traces[2].Mode(), 3);
    EXPECT_EQ(traces[0].Points()[7], 0);
    EXPECT_EQ(traces[2].Points()[7], 0);
    const Points expected = Ramp(200);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), traces[1].Points().begin()));
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(traces[i].Colour(), 0x00FF8000u + i);
  }
}

TEST(ReadAllTraces, StatusBytesAndUnclampedPoints) {
  ScriptedAnalyzer a;
  Points high = Ramp(900);
  high[10] = 0x0400;
  high[11] = -5;
  ServeBlocks(a, {AllTracesBlock({0xC1, 0x05, 0x83}, {high, Ramp(1)}, false)});
  std::vector<RawTrace> traces(3);
  ReadAllTraces(a.Transport(ConnectionKind::ComPort), traces);
  EXPECT_TRUE(traces[0].Valid());
  EXPECT_EQ(traces[0].Mode(), 3);
  EXPECT_EQ(traces[0].Points()[10], 1024);
  EXPECT_EQ(traces[0].Points()[11], -5);
  EXPECT_FALSE(traces[1].Valid());  // low four bits 5
  EXPECT_TRUE(traces[2].Valid());
  EXPECT_EQ(traces[2].Mode(), 2);
  EXPECT_EQ(traces[2].Points()[500], 1 + 500 % 100);
}

TEST(ReadAllTraces, WrongCheckBytesAreReadAgainFifteenTimesAtMost) {
  for (ConnectionKind kind : kAllKinds) {
    SCOPED_TRACE(ConnectionKindText(kind));
    ScriptedAnalyzer a;
    const bool gpib = IsGpib(kind);
    const auto bad = AllTracesBlock({1, 1, 1}, {Ramp(5), Ramp(6), Ramp(7)}, gpib, true);
    const auto good = AllTracesBlock({1, 1, 1}, {Ramp(10), Ramp(11), Ramp(12)}, gpib);
    ServeBlocks(a, {bad, bad, good});
    std::string log;
    std::vector<RawTrace> traces(3);
    EXPECT_EQ(ReadAllTraces(a.Transport(kind), traces, {&log, false}), TraceReadResult::Good);
    EXPECT_EQ(a.Count("meas:tra:read all?"), 3);
    EXPECT_EQ(traces[2].Points()[0], 12);
    EXPECT_NE(log.find(" : 讀回資料有誤，再讀第1次\r\n"), std::string::npos);
    EXPECT_NE(log.find(" : 讀回資料有誤，再讀第2次\r\n"), std::string::npos);
    EXPECT_EQ(log.find("第3次"), std::string::npos);

    ScriptedAnalyzer b;
    ServeBlocks(b, {bad});
    log.clear();
    EXPECT_EQ(ReadAllTraces(b.Transport(kind), traces, {&log, false}),
              TraceReadResult::CheckFailed);  // told, so the window can say so
    EXPECT_EQ(b.Count("meas:tra:read all?"), 15);
    EXPECT_NE(log.find("第14次"), std::string::npos);
    EXPECT_EQ(log.find("第15次"), std::string::npos);
    EXPECT_NE(log.find(" : 最後讀回資料仍有誤!!!\r\n"), std::string::npos);
    EXPECT_EQ(traces[0].Points()[0], 5);  // the last decoded data stays
    EXPECT_TRUE(traces[0].Valid());
  }
}

TEST(ReadAllTraces, SerialBlockInPiecesLateOrIncomplete) {
  const auto block = AllTracesBlock({1, 2, 3}, {Ramp(1), Ramp(2), Ramp(3)}, false);
  {  // A pty hands over at most 4095 bytes a read, and the rest comes later.
    ScriptedAnalyzer a;
    a.respond = [&](const std::string&) {
      std::vector<std::uint8_t> first(block.begin(), block.begin() + 4095);
      std::vector<std::uint8_t> rest(block.begin() + 4095, block.end());
      return std::vector<Piece>{{first, 300}, {rest, 700}};
    };
    std::vector<RawTrace> traces(3);
    std::string log;
    ReadAllTraces(a.Transport(ConnectionKind::ComPort), traces, {&log, true});
    EXPECT_EQ(a.Count("meas:tra:read all?"), 1);
    EXPECT_TRUE(traces[2].Valid());
    EXPECT_EQ(traces[2].Points()[500], 3 + 500 % 100);
    EXPECT_NE(log.find(" : Received Trace Data ==>\r\n0:\t"), std::string::npos);
    EXPECT_NE(log.find("\r\n4510:\t"), std::string::npos);  // every byte logged
  }
  {  // Nothing after 400 ms: asked once more; the header late, the rest never. A short
     // block is a failed read, never a trace with zeros for its missing points.
    ScriptedAnalyzer a;
    a.respond = [&](const std::string&) {
      if (a.Count("meas:tra:read all?") < 2) return std::vector<Piece>{};
      return std::vector<Piece>{
          {std::vector<std::uint8_t>(block.begin(), block.begin() + 2000), 500}};
    };
    auto traces = ColouredTraces();
    std::string log;
    ReadAllTraces(a.Transport(ConnectionKind::ComPort), traces, {&log, false});
    // Fifteen reads, each asking twice: its piece comes after the 400 ms wait.
    EXPECT_EQ(a.Count("meas:tra:read all?"), 30);
    for (const RawTrace& t : traces) EXPECT_FALSE(t.Valid());
    EXPECT_NE(log.find("第14次"), std::string::npos);
    EXPECT_NE(log.find(" : 最後讀回資料仍有誤!!!\r\n"), std::string::npos);
  }
  {  // Short twice, then whole: the reread brings the real trace.
    ScriptedAnalyzer a;
    a.respond = [&](const std::string&) {
      const bool whole = a.Count("meas:tra:read all?") > 2;
      const auto end = whole ? block.end() : block.begin() + 3000;
      return std::vector<Piece>{{std::vector<std::uint8_t>(block.begin(), end), 300}};
    };
    std::vector<RawTrace> traces(3);
    ReadAllTraces(a.Transport(ConnectionKind::ComPort), traces);
    EXPECT_EQ(a.Count("meas:tra:read all?"), 3);
    EXPECT_TRUE(traces[2].Valid());
    EXPECT_EQ(traces[2].Points()[499], 3 + 499 % 100);
  }
  {  // The header must come within ten 50 ms polls after the second ask (sent at 400 ms,
     // polls end at 850, 900, ... 1300 ms): in the ninth it counts, in the tenth it is too late.
    for (const auto& [afterMs, arrives] : {std::pair{840u, true}, std::pair{870u, false}}) {
      ScriptedAnalyzer a;
      a.respond = [&, afterMs = afterMs](const std::string&) {
        if (a.Count("meas:tra:read all?") < 2) return std::vector<Piece>{};
        return std::vector<Piece>{{block, afterMs}};
      };
      std::vector<RawTrace> traces(3);
      ReadAllTraces(a.Transport(ConnectionKind::ComPort), traces);
      EXPECT_EQ(a.Count("meas:tra:read all?"), 2);
      EXPECT_EQ(traces[1].Valid(), arrives) << afterMs;
      EXPECT_EQ(traces[1].Points()[5], arrives ? 2 + 5 : 0) << afterMs;
    }
  }
  {  // Silence: every trace invalid after the bounded polling.
    ScriptedAnalyzer a;
    auto traces = ColouredTraces();
    traces[0].SetValid(true);
    ReadAllTraces(a.Transport(ConnectionKind::ComPort), traces);
    EXPECT_EQ(a.Count("meas:tra:read all?"), 2);
    EXPECT_FALSE(traces[0].Valid());
    EXPECT_LE(a.clock.NowMs(), 400u + 400u + 10u * 60u);
  }
}

TEST(ReadAllTraces, VanishingLinkStopRequestAndSmallArray) {
  for (ConnectionKind kind : kAllKinds) {
    SCOPED_TRACE(ConnectionKindText(kind));
    ScriptedAnalyzer a;
    a.vanished = true;
    std::vector<RawTrace> traces(3);
    ReadAllTraces(a.Transport(kind), traces);
    EXPECT_FALSE(traces[0].Valid() || traces[1].Valid() || traces[2].Valid());
    EXPECT_LT(a.clock.NowMs(), 60000u);
  }
  {  // The serial port goes away while the block is coming: the part that came is no trace.
    ScriptedAnalyzer a;
    a.respond = [&](const std::string&) {
      a.clock.onEvents = [&] {
        if (a.clock.NowMs() > 500) a.vanished = true;
      };
      const auto block = AllTracesBlock({1, 0, 0}, {Ramp(1)}, false);
      return std::vector<Piece>{{{block.begin(), block.begin() + 609}, 300},
                                {{block.begin() + 609, block.end()}, 600}};
    };
    auto traces = ColouredTraces();
    ReadAllTraces(a.Transport(ConnectionKind::ComPort), traces);
    EXPECT_EQ(a.Count("meas:tra:read all?"), 1);
    EXPECT_FALSE(traces[0].Valid());
    EXPECT_LT(a.clock.NowMs(), 60000u);
  }
  ScriptedAnalyzer a;
  ServeBlocks(a, {AllTracesBlock({1, 1, 1}, {Ramp(1), Ramp(1), Ramp(1)}, false)});
  a.transport->stopRequested = true;
  std::vector<RawTrace> traces(3);
  ReadAllTraces(a.Transport(ConnectionKind::ComPort), traces);
  EXPECT_TRUE(a.commands.empty());

  a.transport->stopRequested = false;
  std::vector<RawTrace> two(2);
  ReadAllTraces(a.Transport(ConnectionKind::ComPort), two);
  EXPECT_EQ(a.notifier.Texts(), std::vector<std::string>{"指定的陣列太小"});
  EXPECT_TRUE(a.commands.empty());
}

TEST(ReadAllTraces, UsbReportsAreCountedFromTheHeaderAndLogged) {
  ScriptedAnalyzer a;
  ServeBlocks(a, {AllTracesBlock({0, 1, 0}, {Ramp(3)}, false)});
  std::string log;
  std::vector<RawTrace> traces(3);
  ReadAllTraces(a.Transport(ConnectionKind::Usb), traces, {&log, false});
  EXPECT_TRUE(traces[1].Valid());
  EXPECT_EQ(traces[1].Points()[500], 3);
  // One report, then (1503 - 55) / 64 + 1 = 23 more.
  EXPECT_NE(log.find(" 封包 24 : "), std::string::npos);
  EXPECT_EQ(log.find(" 封包 25 : "), std::string::npos);
  EXPECT_NE(log.find(" : Received Trace Data ==>\r\n0 封包 1 :  23  0  D 23  1  D"),
            std::string::npos);
}

TEST(GetTraceRawData, ClampsAndReadsTraceOneOnEveryLink) {
  for (ConnectionKind kind : kAllKinds) {
    SCOPED_TRACE(ConnectionKindText(kind));
    ScriptedAnalyzer a;
    Points p = Ramp(500);
    p[0] = 0x0400;
    p[1] = -3;
    p[2] = 0x7FFF;
    a.respond = [&](const std::string& c) {
      if (c != "meas:tra:read 1?") return std::vector<Piece>{};
      // USB reports are read at once; the other links wait for the bytes.
      const std::uint32_t late = kind == ConnectionKind::Usb ? 0 : 60;
      return std::vector<Piece>{{OneTraceBlock(p, IsGpib(kind)), late}};
    };
    std::vector<std::int16_t> points;
    EXPECT_TRUE(GetTraceRawData(a.Transport(kind), points));
    ASSERT_EQ(points.size(), 501u);
    EXPECT_EQ(points[0], 1023);
    EXPECT_EQ(points[1], 0);
    EXPECT_EQ(points[2], 1023);
    EXPECT_EQ(points[500], 500);
    EXPECT_EQ(a.notifier.statuses, std::vector<std::string>{""});
  }
}

TEST(GetTraceRawData, RereadsAZeroOrMissingTraceTenTimes) {
  ScriptedAnalyzer a;  // serial, no answer at all
  std::vector<std::int16_t> points(501, 9);
  EXPECT_FALSE(GetTraceRawData(a.Transport(ConnectionKind::ComPort), points));
  EXPECT_EQ(points.size(), 501u);
  EXPECT_EQ(points[0], 0);
  // Each attempt asks, and asks again at the sixth poll.
  EXPECT_EQ(a.Count("meas:tra:read 1?"), 20);
  EXPECT_EQ(
      std::count(a.notifier.statuses.begin(), a.notifier.statuses.end(), "Rereading trace data."),
      9);
  EXPECT_EQ(a.notifier.statuses.back(), "");

  // Zeros on the first two reads, then a trace.
  ScriptedAnalyzer b;
  b.respond = [&](const std::string&) {
    const Points p = b.Count("meas:tra:read 1?") < 3 ? Points(501, 0) : Ramp(1);
    return std::vector<Piece>{{OneTraceBlock(p, true), 0}};
  };
  EXPECT_TRUE(GetTraceRawData(b.Transport(ConnectionKind::Gpib), points));
  EXPECT_EQ(b.Count("meas:tra:read 1?"), 3);
  EXPECT_EQ(points[99], 100);

  ScriptedAnalyzer c;
  c.transport->stopRequested = true;
  EXPECT_FALSE(GetTraceRawData(c.Transport(ConnectionKind::Usb), points));
  EXPECT_TRUE(c.commands.empty());
}

}  // namespace
}  // namespace vantrel::testing
