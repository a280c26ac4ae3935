// The command journal on Windows: local time from the system clock, the file opened by its
// UTF-8 name.
#include "CommandJournal.h"

#include <windows.h>

#include <cstdio>

#include "JournalFormat.h"
#include "host/win/WideText.h"

namespace dxkeeper_sim {

bool CommandJournal::Append(const std::string& command, const std::string& note) const {
  if (path_.empty()) return true;
  SYSTEMTIME now{};
  GetLocalTime(&now);
  const std::string line = JournalLine(
      {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds},
      command, note);
  FILE* file = _wfopen(zorvik::host::win::ToWide(path_).c_str(), L"ab");
  if (file == nullptr) return false;
  const bool written = std::fwrite(line.data(), 1, line.size(), file) == line.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace dxkeeper_sim
