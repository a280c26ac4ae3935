#include "JournalFormat.h"

#include <cstdio>

namespace dxkeeper_sim {

std::string JournalLine(const JournalTime& time, std::string_view command, std::string_view note) {
  char stamp[40];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", time.year, time.month,
                time.day, time.hour, time.minute, time.second, time.millisecond);
  std::string line = stamp;
  line += '\t';
  for (const char c : command) {
    if (c == '\r') {
      line += "\\r";
    } else if (c == '\n') {
      line += "\\n";
    } else {
      line += c;
    }
  }
  if (!note.empty()) {
    line += '\t';
    line += note;
  }
  line += '\n';
  return line;
}

}  // namespace dxkeeper_sim
