#pragma once
// vantrel-cli's EMI commands: the wide-range scan with its results table, final
// measurement and report, and the single-point test.
#include "cli/cli_options.h"
#include "cli/cli_session.h"

namespace vantrel::cli {

int EmiCommand(CliSession& session, const CliOptions& options);
int SpotCommand(CliSession& session, const CliOptions& options);

}  // namespace vantrel::cli
