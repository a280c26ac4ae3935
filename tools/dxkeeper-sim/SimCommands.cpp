#include "SimCommands.h"

#include <cstdio>

#include "QueueNote.h"

namespace dxkeeper_sim {
namespace {

constexpr std::string_view kPrefix = "001";

}  // namespace

SimCommands::SimCommands(HeldLog& log, CommandJournal journal, std::set<std::string> refused,
                         std::string countedLog)
    : log_(log),
      journal_(std::move(journal)),
      refused_(std::move(refused)),
      countedLog_(std::move(countedLog)) {}

bool SimCommands::Run(const std::string& command, const std::string& clientCaption) {
  const std::string word =
      command.starts_with(kPrefix) ? command.substr(kPrefix.size()) : std::string();
  if (journal_.Enabled()) {
    // Counting the queue opens the log: only for a journal that shows it.
    std::string note = QueueNote(countedLog_.empty() ? log_.Path() : countedLog_);
    if (!clientCaption.empty()) note += "\tcaption=" + clientCaption;
    if (!journal_.Append(command, note))
      std::fprintf(stderr, "dxkeeper-sim: cannot write the journal\n");
  }
  if (word.empty() || refused_.contains(word) || refused_.contains(command)) return false;
  if (word == "closelog") {
    log_.Close();
  } else if (word == "openlastlog") {
    if (auto error = log_.Open(); !error.empty()) {
      std::fprintf(stderr, "dxkeeper-sim: cannot reopen %s: %s\n", log_.Path().c_str(),
                   error.c_str());
      return false;
    }
  } else if (word != "commandcomplete") {
    return false;
  }
  return true;
}

}  // namespace dxkeeper_sim
