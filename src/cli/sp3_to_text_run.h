#pragma once
// The command-line conversion of a recording into text, shared by vantrel-sp3-to-text and
// "vantrel-cli sp3-to-text": progress on standard error when it is a terminal, a one-line
// message on failure, and the exit status (0 done, 3 file error).
#include <string>

namespace vantrel::cli {

bool StderrIsTerminal();

int RunSp3ToText(const std::string& source, const std::string& target, bool keepPartial,
                 const char* programName);

}  // namespace vantrel::cli
