#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zorvik::reliability {

// One stored value with its storage class ("i:5", "r:14.2", "t:DL1XX"); nullopt is Null. The
// class is kept so that a text turned into a number (or back) counts as a change.
using Cell = std::optional<std::string>;

struct TableState {
  std::vector<std::string> columns;
  std::map<std::int64_t, std::vector<Cell>> rows;  // by rowid
  bool operator==(const TableState&) const = default;
};

// The four tables of a log as they are stored, read behind the program's back. The file is
// opened for writing (never created) so that a journal left by a killed run is rolled back
// first, as the program's next open would. Throws std::runtime_error when it cannot be read.
struct LogState {
  std::map<std::string, TableState> tables;  // QSOs, Progress, QTHs, PrintQueue
  bool operator==(const LogState&) const = default;
};
LogState ReadLogState(const std::string& path);

// What a run did to a log, judged from before and after alone.
struct AdditionCheck {
  std::vector<std::string> problems;  // empty: only complete additions happened
  int added = 0;                      // new queue rows, each with its contact marked "R"
};

// Checks that `after` is `before` plus complete additions and nothing else: Progress and QTHs
// unchanged; every contact unchanged except QSL_Rcvd, which may only go from Null or empty to
// "R" (queued) or from Null to empty (a cleared mark); no "~" anywhere; old queue rows unchanged
// except Incidence; every new queue row paired with exactly one contact that became "R", with
// the same call, start, frequency, band, mode and entity, and the other way round.
AdditionCheck CheckCompleteAdditions(const LogState& before, const LogState& after);

// "ok" or SQLite's list of problems.
std::string IntegrityCheck(const std::string& path);

// A 64-bit digest of the four tables' contents (rows in rowid order, values with their storage
// class), for logs too large to compare cell by cell. Rolls back a left-over journal like
// ReadLogState.
std::uint64_t LogDigest(const std::string& path);

}  // namespace zorvik::reliability
