#pragma once

#include <string>
#include <string_view>

namespace dxkeeper_sim {

// A moment in local time, as the journal shows it.
struct JournalTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// One line of the command journal, the same on every system: the local time in ISO 8601 with
// milliseconds ("2024-05-01T18:03:07.042"), a tab, the command as received with CR and LF written
// as \r and \n (so one command stays one line), then, when `note` is not empty, a tab and the
// note; the line ends with LF.
std::string JournalLine(const JournalTime& time, std::string_view command,
                        std::string_view note = {});

}  // namespace dxkeeper_sim
