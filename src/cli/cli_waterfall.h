#pragma once
// vantrel-cli waterfall SOURCE.sp3 OUT.png: the last sweeps of trace 1 of a recording as
// a waterfall picture, newest at the top, one column per trace point.
#include "cli/cli_options.h"

namespace vantrel::cli {

int WaterfallCommand(const CliOptions& options);

}  // namespace vantrel::cli
