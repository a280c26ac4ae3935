#include "ProgressRecompute.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "BandModeSlots.h"

namespace zorvik::logtools {

ProgressSummary RecomputeProgress(LogConnection& log) {
  ProgressTally tally;
  std::map<std::string, std::string> prefixes;
  {
    Statement contacts(log, "SELECT DXCCID, Band, Mode, QSL_Rcvd, DXCCPrefix FROM QSOs");
    while (contacts.Step()) {
      const auto dxcc = contacts.Text(0);
      tally.Add(dxcc, contacts.Text(1), contacts.Text(2), contacts.Text(3));
      if (dxcc && !prefixes.contains(*dxcc)) {
        if (auto prefix = contacts.Text(4); prefix && !prefix->empty()) {
          prefixes.emplace(*dxcc, std::move(*prefix));
        }
      }
    }
  }

  ProgressSummary summary;
  const auto count = [&summary](const std::string& bandModes) {
    ++summary.entities;
    summary.workedSlots +=
        static_cast<std::size_t>(std::count(bandModes.begin(), bandModes.end(), kWorked));
    summary.confirmedSlots +=
        static_cast<std::size_t>(std::count(bandModes.begin(), bandModes.end(), kConfirmed) +
                                 std::count(bandModes.begin(), bandModes.end(), kVerified));
  };

  std::set<std::string> present;
  {
    Statement rows(log, "SELECT rowid, CountryCode FROM Progress");
    Statement update(log, "UPDATE Progress SET BandModes = ?1 WHERE rowid = ?2");
    while (rows.Step()) {
      const std::string code = rows.Text(1).value_or("");
      const std::string bandModes = tally.BandModes(code);
      update.Reset();
      update.BindText(1, bandModes);
      update.BindInt(2, rows.Int(0));
      update.Step();
      present.insert(code);
      count(bandModes);
    }
  }

  Statement insert(log,
                   "INSERT INTO Progress (CountryCode, Prefix, BandModes) VALUES (?1, ?2, ?3)");
  for (const auto& [code, bandModes] : tally.Entities()) {
    if (present.contains(code)) continue;
    insert.Reset();
    insert.BindText(1, code);
    const auto prefix = prefixes.find(code);
    if (prefix != prefixes.end()) {
      insert.BindText(2, prefix->second);
    } else {
      insert.BindNull(2);
    }
    insert.BindText(3, bandModes);
    insert.Step();
    ++summary.rowsInserted;
    count(bandModes);
  }
  return summary;
}

}  // namespace zorvik::logtools
