#include "FaultLogs.h"

#include <fstream>
#include <sstream>

namespace zorvik::reliability {

void FillFaultLog(logops_test::ScratchLog& log, int entities) {
  log.Exec("BEGIN");
  for (int i = 0; i < entities; ++i) {
    const std::string code = std::to_string(100 + i);
    logops_test::Qso q;
    q.call = "F" + code;
    q.dxccid = code;
    log.AddQso(q);
    log.SetProgress(code, std::string(44, 'W'));
  }
  logops_test::Qso marked;
  marked.call = "M1";
  marked.dxccid = "7";
  marked.band = "40M";
  marked.mode = "CW";
  log.AddQso(marked);
  log.SetProgress("7", logops_test::BandModesWith({14}));
  log.AddQueueRow("OLD", "7", "40M", "CW");
  log.Exec("INSERT INTO QTHs (QTHID, City, Country) VALUES ('HOME', 'Newington', 'USA')");
  log.Exec("COMMIT");
}

std::string ShownBoxes(const testing::FakeDialogs& dialogs) {
  // A few boxes tell the story; a flood of them is summed up.
  constexpr std::size_t kShown = 3;
  std::string out;
  for (std::size_t i = 0; i < dialogs.boxes.size() && i < kShown; ++i) {
    const auto& box = dialogs.boxes[i];
    out +=
        "[" + box.title + " / " + std::to_string(box.flags) + "] " + box.text.substr(0, 300) + "\n";
  }
  if (dialogs.boxes.size() > kShown) {
    out += "... " + std::to_string(dialogs.boxes.size()) + " boxes in all\n";
  }
  return out.empty() ? "(no box)" : out;
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace zorvik::reliability
