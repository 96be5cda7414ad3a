// vantrel-sp3-to-text SOURCE TARGET: a recording as text, one line per record, the same
// text the converter window writes. TARGET "-" writes to standard output.
#include <cstdio>
#include <iostream>
#include <string>

#ifdef _WIN32
#include <io.h>
#define VANTREL_ISATTY(f) _isatty(_fileno(f))
#else
#include <unistd.h>
#define VANTREL_ISATTY(f) isatty(fileno(f))
#endif

#include "platform/durable_record_store.h"
#include "platform/recording_to_text_file.h"

namespace {

constexpr const char* kUsage =
    "usage: vantrel-sp3-to-text SOURCE TARGET\n"
    "Writes the recording SOURCE (.sp3) as text, one line per record, to TARGET\n"
    "(\"-\" for standard output). Exit status: 0 done, 1 usage, 3 file error.\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc != 3) {
    std::fputs(kUsage, stderr);
    return 1;
  }
  const bool live = VANTREL_ISATTY(stderr);
  const vantrel::Sp3Progress progress = [live](std::uint64_t k, std::uint64_t count) {
    if (live && (k == 1 || k == count || k % 100 == 0)) {
      std::fprintf(stderr, "\rRecord %llu of %llu", static_cast<unsigned long long>(k),
                   static_cast<unsigned long long>(count));
    }
    return true;
  };
  const std::string target = argv[2];
  vantrel::Sp3TextResult result;
  if (target == "-") {
    vantrel::DurableRecordStore store;
    const vantrel::TextWriter toStdout = [](const std::string& text, std::string& error) {
      if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size()) return true;
      error = "standard output cannot be written";
      return false;
    };
    result = vantrel::ConvertSp3ToText(store, argv[1], toStdout, progress);
    std::fflush(stdout);
  } else {
    result = vantrel::ConvertRecordingToTextFile(QString::fromLocal8Bit(argv[1]),
                                                 QString::fromLocal8Bit(argv[2]), progress);
  }
  if (live) std::fputs("\n", stderr);
  if (!result.ok) {
    std::fprintf(stderr, "vantrel-sp3-to-text: %s\n", result.message.c_str());
    return 3;
  }
  return 0;
}
