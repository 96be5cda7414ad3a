// vantrel-sp3-to-text SOURCE TARGET: a recording as text, one line per record, the same
// text the converter window writes. TARGET "-" writes to standard output.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

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
    "usage: vantrel-sp3-to-text [--keep-partial] SOURCE TARGET\n"
    "Writes the recording SOURCE (.sp3) as text, one line per record, to TARGET\n"
    "(\"-\" for standard output). A failed conversion leaves no TARGET behind;\n"
    "with --keep-partial the lines before a damaged record are kept in it.\n"
    "Exit status: 0 done, 1 usage, 3 file error.\n";

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  bool keepPartial = false;
  if (!args.empty() && args[0] == "--keep-partial") {
    keepPartial = true;
    args.erase(args.begin());
  }
  if (args.size() != 2) {
    std::fputs(kUsage, stderr);
    return 1;
  }
#ifdef SIGXFSZ
  // Past a file size limit, a failed write with its message instead of a killed process.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  const bool live = VANTREL_ISATTY(stderr);
  const vantrel::Sp3Progress progress = [live](std::uint64_t k, std::uint64_t count) {
    if (live && (k == 1 || k == count || k % 100 == 0)) {
      std::fprintf(stderr, "\rRecord %llu of %llu", static_cast<unsigned long long>(k),
                   static_cast<unsigned long long>(count));
    }
    return true;
  };
  const std::string& source = args[0];
  const std::string& target = args[1];
  vantrel::Sp3TextResult result;
  if (target == "-") {
    vantrel::DurableRecordStore store;
    const vantrel::TextWriter toStdout = [](const std::string& text, std::string& error) {
      if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size()) return true;
      error = "standard output cannot be written";
      return false;
    };
    result = vantrel::ConvertSp3ToText(store, source, toStdout, progress);
    // The last lines leave the buffer only now: a full disk shows here.
    if (result.ok && (std::fflush(stdout) != 0 || std::ferror(stdout))) {
      result.ok = false;
      result.message = "standard output cannot be written";
    }
  } else {
    result = vantrel::ConvertRecordingToTextFile(QString::fromLocal8Bit(source.c_str()),
                                                 QString::fromLocal8Bit(target.c_str()), progress,
                                                 keepPartial);
  }
  if (live) std::fputs("\n", stderr);
  if (!result.ok) {
    std::fprintf(stderr, "vantrel-sp3-to-text: %s\n", result.message.c_str());
    return 3;
  }
  return 0;
}
