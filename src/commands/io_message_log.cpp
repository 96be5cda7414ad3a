#include "commands/io_message_log.h"

namespace vantrel {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendHex(std::string& log, std::uint8_t byte) {
  if (byte >= 0x10) log += kHexDigits[byte >> 4];
  log += kHexDigits[byte & 0x0F];
}

const char kReceived[] = " : Received Trace Data ==>\r\n";

}  // namespace

void AppendSerialTraceLog(std::string& log, std::uint32_t counter,
                          std::span<const std::uint8_t> bytes) {
  log.reserve(log.size() + bytes.size() * 4 + 64);
  log += std::to_string(counter);
  log += kReceived;
  log += "0:\t";
  std::size_t taken = 0;
  for (std::uint8_t byte : bytes) {
    AppendHex(log, byte);
    log += '\t';
    if (++taken % 10 == 0) {
      log += "\r\n";
      log += std::to_string(taken);
      log += ":\t";
    }
  }
  log += "\r\n";
}

void AppendUsbReportLog(std::string& log, std::uint32_t counter, int reportNumber,
                        std::span<const std::uint8_t> bytes) {
  const std::string stamp = std::to_string(counter);
  if (reportNumber == 1) {
    log += stamp;
    log += kReceived;
  }
  log += stamp;
  log += " 封包 ";
  log += std::to_string(reportNumber);
  log += " : ";
  for (std::uint8_t byte : bytes) {
    log += ' ';
    if (byte < 0x10) log += ' ';
    AppendHex(log, byte);
  }
  log += "\r\n";
}

void AppendRetryLog(std::string& log, std::uint32_t counter, int failedReads) {
  log += std::to_string(counter);
  log += " : 讀回資料有誤，再讀第";
  log += std::to_string(failedReads);
  log += "次\r\n";
}

void AppendGiveUpLog(std::string& log, std::uint32_t counter) {
  log += std::to_string(counter);
  log += " : 最後讀回資料仍有誤!!!\r\n";
}

}  // namespace vantrel
