#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace zorvik::logtools {

// Exit codes of zorvik-log.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the work failed; the log is as it was before
inline constexpr int kExitUsage = 2;   // the command line was wrong; nothing was done

// Runs one zorvik-log command line (args without the program name). Results go to `out`,
// problems and usage errors to `err`. Never throws.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The text of --help.
const char* UsageText();

}  // namespace zorvik::logtools
