#pragma once
// The lines the live-trace transfer adds to the IO message log, as the user reads
// them in the "IO Message" window.
#include <cstdint>
#include <span>
#include <string>

namespace vantrel {

// Where the transfer writes its log lines. `text` null: nothing is logged.
// `ioMessage`: the window's "IO Message" box; it decides whether serial data is logged.
struct IoLogSink {
  std::string* text = nullptr;
  bool ioMessage = false;
};

// counter " : Received Trace Data ==>" CR LF, then the bytes in hexadecimal, TAB
// separated, ten to a line, each line led by the count of bytes before it.
void AppendSerialTraceLog(std::string& log, std::uint32_t counter,
                          std::span<const std::uint8_t> bytes);
// USB report m (1 = first, with the heading line): counter " 封包 " m " : " and the
// report's bytes in hexadecimal, right-aligned in three characters.
void AppendUsbReportLog(std::string& log, std::uint32_t counter, int reportNumber,
                        std::span<const std::uint8_t> bytes);
// A failed check byte test before the last read: " : 讀回資料有誤，再讀第" n "次".
void AppendRetryLog(std::string& log, std::uint32_t counter, int failedReads);
// The last read still failed: " : 最後讀回資料仍有誤!!!".
void AppendGiveUpLog(std::string& log, std::uint32_t counter);

}  // namespace vantrel
