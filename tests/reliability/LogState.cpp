#include "LogState.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <functional>
#include <memory>
#include <stdexcept>

namespace zorvik::reliability {
namespace {

constexpr std::array<const char*, 4> kTables = {"QSOs", "Progress", "QTHs", "PrintQueue"};

struct CloseDb {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using DbHandle = std::unique_ptr<sqlite3, CloseDb>;
struct FinalizeStatement {
  void operator()(sqlite3_stmt* st) const { sqlite3_finalize(st); }
};
using StatementHandle = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

DbHandle OpenForReading(const std::string& path) {
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
  DbHandle db(raw);
  if (rc != SQLITE_OK) throw std::runtime_error("cannot open " + path + ": " + sqlite3_errstr(rc));
  sqlite3_busy_timeout(raw, 5000);
  return db;
}

Cell CellAt(sqlite3_stmt* st, int column) {
  const auto text = [&] {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, column));
    return std::string(p ? p : "", static_cast<std::size_t>(sqlite3_column_bytes(st, column)));
  };
  switch (sqlite3_column_type(st, column)) {
    case SQLITE_NULL:
      return std::nullopt;
    case SQLITE_INTEGER:
      return "i:" + text();
    case SQLITE_FLOAT:
      return "r:" + text();
    case SQLITE_BLOB:
      return "b:" + text();
    default:
      return "t:" + text();
  }
}

// Calls `row` for every row of `table` in rowid order: the rowid, then the columns.
void EachRow(sqlite3* db, const std::string& table,
             const std::function<void(sqlite3_stmt*, int columns)>& row) {
  sqlite3_stmt* raw = nullptr;
  const std::string sql = "SELECT rowid, * FROM \"" + table + "\" ORDER BY rowid";
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
    throw std::runtime_error(sql + ": " + sqlite3_errmsg(db));
  }
  StatementHandle st(raw);
  int rc;
  while ((rc = sqlite3_step(raw)) == SQLITE_ROW) row(raw, sqlite3_column_count(raw));
  if (rc != SQLITE_DONE) throw std::runtime_error(sql + ": " + sqlite3_errmsg(db));
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

int ColumnIndex(const TableState& t, const std::string& name) {
  for (std::size_t i = 0; i < t.columns.size(); ++i) {
    if (Lower(t.columns[i]) == Lower(name)) return static_cast<int>(i);
  }
  throw std::runtime_error("no column " + name);
}

std::string Show(const Cell& c) {
  return c ? *c : "<null>";
}

bool NullOrEmpty(const Cell& c) {
  return !c || *c == "t:";
}

}  // namespace

LogState ReadLogState(const std::string& path) {
  DbHandle db = OpenForReading(path);
  LogState state;
  for (const char* name : kTables) {
    TableState& table = state.tables[name];
    EachRow(db.get(), name, [&](sqlite3_stmt* st, int columns) {
      if (table.columns.empty()) {
        for (int c = 1; c < columns; ++c) table.columns.emplace_back(sqlite3_column_name(st, c));
      }
      std::vector<Cell> cells;
      for (int c = 1; c < columns; ++c) cells.push_back(CellAt(st, c));
      table.rows.emplace(sqlite3_column_int64(st, 0), std::move(cells));
    });
  }
  return state;
}

AdditionCheck CheckCompleteAdditions(const LogState& before, const LogState& after) {
  AdditionCheck check;
  auto problem = [&](std::string text) { check.problems.push_back(std::move(text)); };
  for (const char* name : {"Progress", "QTHs"}) {
    if (!(before.tables.at(name) == after.tables.at(name))) problem(std::string(name) + " changed");
  }

  // Contacts: only QSL_Rcvd may change, and only the ways an Add changes it.
  const TableState& qsoBefore = before.tables.at("QSOs");
  const TableState& qsoAfter = after.tables.at("QSOs");
  const int rcvd = ColumnIndex(qsoAfter, "QSL_Rcvd");
  std::vector<std::int64_t> newlyReceived;
  if (qsoBefore.rows.size() != qsoAfter.rows.size()) problem("the number of contacts changed");
  for (const auto& [rowid, cells] : qsoAfter.rows) {
    if (cells[rcvd] == Cell("t:~")) problem("contact " + std::to_string(rowid) + " still marked ~");
    auto old = qsoBefore.rows.find(rowid);
    if (old == qsoBefore.rows.end()) {
      problem("new contact " + std::to_string(rowid));
      continue;
    }
    for (std::size_t c = 0; c < cells.size(); ++c) {
      if (static_cast<int>(c) == rcvd || cells[c] == old->second[c]) continue;
      problem("contact " + std::to_string(rowid) + " field " + qsoAfter.columns[c] + ": " +
              Show(old->second[c]) + " -> " + Show(cells[c]));
    }
    const Cell& was = old->second[rcvd];
    const Cell& now = cells[rcvd];
    if (was == now) continue;
    if (NullOrEmpty(was) && now == Cell("t:R")) {
      newlyReceived.push_back(rowid);
    } else if (!was && now == Cell("t:")) {
      // a mark set and cleared again
    } else {
      problem("contact " + std::to_string(rowid) + " QSL_Rcvd: " + Show(was) + " -> " + Show(now));
    }
  }

  // Queue: old rows keep everything but Incidence; new rows pair with newly "R" contacts.
  const TableState& queueBefore = before.tables.at("PrintQueue");
  const TableState& queueAfter = after.tables.at("PrintQueue");
  const int incidence = ColumnIndex(queueAfter, "Incidence");
  struct Pair {
    const char* queueField;
    const char* qsoField;
  };
  constexpr std::array<Pair, 6> kSame = {{{"Call", "Call"},
                                          {"QSO_Begin", "QSO_Begin"},
                                          {"Freq", "Freq"},
                                          {"band", "Band"},
                                          {"mode", "Mode"},
                                          {"dxccid", "DXCCID"}}};
  for (const auto& [rowid, cells] : queueBefore.rows) {
    auto now = queueAfter.rows.find(rowid);
    if (now == queueAfter.rows.end()) {
      problem("queue row " + std::to_string(rowid) + " removed");
      continue;
    }
    for (std::size_t c = 0; c < cells.size(); ++c) {
      if (static_cast<int>(c) != incidence && cells[c] != now->second[c]) {
        problem("queue row " + std::to_string(rowid) + " field " + queueAfter.columns[c] +
                " changed");
      }
    }
  }
  for (const auto& entry : queueAfter.rows) {
    // Named copies, not a structured binding: lambdas below use them (clang 14 builds the
    // sanitizer and fuzz runs).
    const auto rowid = entry.first;
    const std::vector<Cell>& cells = entry.second;
    if (queueBefore.rows.contains(rowid)) continue;
    ++check.added;
    auto match = std::find_if(newlyReceived.begin(), newlyReceived.end(), [&](std::int64_t q) {
      const std::vector<Cell>& qso = qsoAfter.rows.at(q);
      return std::all_of(kSame.begin(), kSame.end(), [&](const Pair& p) {
        return cells[ColumnIndex(queueAfter, p.queueField)] ==
               qso[ColumnIndex(qsoAfter, p.qsoField)];
      });
    });
    if (match == newlyReceived.end()) {
      problem("queue row " + std::to_string(rowid) + " (" +
              Show(cells[ColumnIndex(queueAfter, "Call")]) + ") has no contact marked R");
    } else {
      newlyReceived.erase(match);
    }
  }
  for (std::int64_t q : newlyReceived) {
    problem("contact " + std::to_string(q) + " marked R without a queue row");
  }
  return check;
}

std::string IntegrityCheck(const std::string& path) {
  DbHandle db = OpenForReading(path);
  std::string result;
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db.get(), "PRAGMA integrity_check", -1, &raw, nullptr) != SQLITE_OK) {
    return sqlite3_errmsg(db.get());
  }
  StatementHandle st(raw);
  while (sqlite3_step(raw) == SQLITE_ROW) {
    if (!result.empty()) result += "; ";
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(raw, 0));
    result += text ? text : "";
  }
  return result;
}

std::uint64_t LogDigest(const std::string& path) {
  DbHandle db = OpenForReading(path);
  // FNV-1a over every value with its storage class and a separator, so shifted values differ.
  std::uint64_t hash = 14695981039346656037ull;
  auto mix = [&](const std::string& bytes) {
    for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
    hash = (hash ^ 0xff) * 1099511628211ull;
  };
  for (const char* name : kTables) {
    mix(name);
    EachRow(db.get(), name, [&](sqlite3_stmt* st, int columns) {
      for (int c = 0; c < columns; ++c) mix(Show(CellAt(st, c)));
    });
  }
  return hash;
}

}  // namespace zorvik::reliability
