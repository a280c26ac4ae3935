#pragma once

#include <set>
#include <string>

#include "CommandJournal.h"
#include "HeldLog.h"

namespace dxkeeper_sim {

// DXKeeper's DDE commands as the sim runs them, the same on every system. Every command is
// journalled as it arrives, with the QueueNote of the log; then "001closelog"
// closes the held log, "001openlastlog" reopens it and "001commandcomplete" does nothing. Any
// other command, and one whose word (e.g. "closelog") or whole text is in `refused`, is refused.
// Problems (a journal line not written, a log that does not reopen) are reported on stderr.
class SimCommands {
 public:
  // `log` must outlive this object. The journal counts the queue of `countedLog` (empty: `log`'s
  // own file).
  SimCommands(HeldLog& log, CommandJournal journal, std::set<std::string> refused,
              std::string countedLog = {});

  // Runs `command` (UTF-8). Returns true when it is done, false when it is refused (a log that
  // does not reopen refuses "001openlastlog"). A non-empty `clientCaption`, the caption the
  // sending program showed when the command arrived, is journalled after the queue note as
  // "caption=<text>".
  bool Run(const std::string& command, const std::string& clientCaption = {});

 private:
  HeldLog& log_;
  CommandJournal journal_;
  std::set<std::string> refused_;
  std::string countedLog_;
};

}  // namespace dxkeeper_sim
