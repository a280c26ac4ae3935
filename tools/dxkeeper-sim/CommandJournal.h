#pragma once

#include <optional>
#include <string>

namespace dxkeeper_sim {

// Appends each command received to a file, one line each: the local time in ISO 8601 with
// milliseconds, a tab, the command as received (CR and LF written as \r and \n so one command
// stays one line), a tab, and "queue N": the PrintQueue rows committed to the log when the
// command arrived ("queue ?" when the log could not be read). The count tells, without comparing
// clocks, what a program had stored before it sent the command. Every line is written and flushed
// at once, so a reader sees it as soon as the host has answered. An empty path journals nothing.
class CommandJournal {
 public:
  explicit CommandJournal(std::string path) : path_(std::move(path)) {}
  // Returns false when the line could not be written.
  bool Append(const std::string& command, std::optional<long long> committedQueueRows) const;

 private:
  std::string path_;
};

}  // namespace dxkeeper_sim
