// vantrel-sp3-to-text SOURCE TARGET: a recording as text, one line per record, the same
// text the converter window writes. TARGET "-" writes to standard output.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/sp3_to_text_run.h"
#include "platform/binary_stdout.h"

namespace {

constexpr const char* kUsage =
    "usage: vantrel-sp3-to-text [--keep-partial] SOURCE TARGET\n"
    "Writes the recording SOURCE (.sp3) as text, one line per record, to TARGET\n"
    "(\"-\" for standard output). A failed conversion leaves no TARGET behind;\n"
    "with --keep-partial the lines before a damaged record are kept in it.\n"
    "Exit status: 0 done, 1 usage, 3 file error.\n";

}  // namespace

int main(int argc, char** argv) {
  vantrel::UseBinaryStandardOutput();
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
  return vantrel::cli::RunSp3ToText(args[0], args[1], keepPartial, "vantrel-sp3-to-text");
}
