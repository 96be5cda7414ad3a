#include "cli/sp3_to_text_run.h"

#include <QString>
#include <csignal>
#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define VANTREL_ISATTY(f) _isatty(_fileno(f))
#else
#include <unistd.h>
#define VANTREL_ISATTY(f) isatty(fileno(f))
#endif

#include "platform/durable_record_store.h"
#include "platform/recording_to_text_file.h"

namespace vantrel::cli {

bool StderrIsTerminal() { return VANTREL_ISATTY(stderr); }

int RunSp3ToText(const std::string& source, const std::string& target, bool keepPartial,
                 const char* programName) {
#ifdef SIGXFSZ
  // Past a file size limit, a failed write with its message instead of a killed process.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  const bool live = StderrIsTerminal();
  const Sp3Progress progress = [live](std::uint64_t k, std::uint64_t count) {
    if (live && (k == 1 || k == count || k % 100 == 0)) {
      std::fprintf(stderr, "\rRecord %llu of %llu", static_cast<unsigned long long>(k),
                   static_cast<unsigned long long>(count));
    }
    return true;
  };
  Sp3TextResult result;
  if (target == "-") {
    DurableRecordStore store;
    const TextWriter toStdout = [](const std::string& text, std::string& error) {
      if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size()) return true;
      error = "standard output cannot be written";
      return false;
    };
    result = ConvertSp3ToText(store, source, toStdout, progress);
    // The last lines leave the buffer only now: a full disk shows here.
    if (result.ok && (std::fflush(stdout) != 0 || std::ferror(stdout))) {
      result.ok = false;
      result.message = "standard output cannot be written";
    }
  } else {
    result = ConvertRecordingToTextFile(QString::fromLocal8Bit(source.c_str()),
                                        QString::fromLocal8Bit(target.c_str()), progress,
                                        keepPartial);
  }
  if (live) std::fputs("\n", stderr);
  if (!result.ok) {
    std::fprintf(stderr, "%s: %s\n", programName, result.message.c_str());
    return 3;
  }
  return 0;
}

}  // namespace vantrel::cli
