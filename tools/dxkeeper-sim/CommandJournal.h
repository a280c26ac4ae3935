#pragma once

#include <optional>
#include <string>

namespace dxkeeper_sim {

// Appends each command received to a file, one line each in the format of JournalLine
// (JournalFormat.h): the local time, a tab, the command, and a tab and `note` when one is given.
// Every line is written and flushed at once, so a reader sees it as soon as the host has
// answered. An empty path journals nothing. Each system has its own implementation (Qt on Linux
// and macOS, Win32 on Windows).
class CommandJournal {
 public:
  explicit CommandJournal(std::string path) : path_(std::move(path)) {}
  // True when a journal file was named (without one, Append writes nothing).
  bool Enabled() const { return !path_.empty(); }
  // Returns false when the line could not be written.
  bool Append(const std::string& command, const std::string& note = {}) const;

 private:
  std::string path_;
};

}  // namespace dxkeeper_sim
