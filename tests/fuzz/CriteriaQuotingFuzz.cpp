// Fuzzes the quoting of values spliced into find criteria and into the Add action's statements.
// The input is up to three texts separated by NUL bytes (the window's fields cannot hold one): a
// call sign, a start date and a stop date. For any of them:
// - the criterion "Call = '<quoted call>'" reads back as exactly that field and value;
// - the candidate statement stays one statement over QSOs that SQLite prepares, and running it
//   fails at most with the type mismatch of a date that is not a date.
#include <sqlite3.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/Failure.h"
#include "logdb/sqlite/DateValueFunction.h"
#include "logdb/sqlite/LogSchema.h"
#include "logdb/sqlite/SqlDialect.h"
#include "logdb/sqlite/SqliteSupport.h"
#include "logops/CandidateStatement.h"
#include "logops/SqlQuote.h"

namespace {

using namespace zorvik;
using namespace zorvik::logdb;

[[noreturn]] void Fail() {
  std::abort();
}

// An in-memory log with one contact, so that the statement's DateValue() calls really run.
sqlite3* Log() {
  static sqlite3* db = [] {
    sqlite3* d = nullptr;
    if (sqlite3_open(":memory:", &d) != SQLITE_OK) Fail();
    if (sqlite3_exec(d, std::string(LogSchemaSql()).c_str(), nullptr, nullptr, nullptr) !=
        SQLITE_OK) {
      Fail();
    }
    sqlite3_exec(d,
                 "INSERT INTO QSOs (Call, QSO_Begin, QSO_End, Band, Mode, DXCCID, Operator) "
                 "VALUES ('DL1XX', '2004-05-01 12:00:00', '2004-05-01 12:05:00', '20M', 'SSB', "
                 "'230', 'W1AW')",
                 nullptr, nullptr, nullptr);
    RegisterDateValue(d);
    return d;
  }();
  return db;
}

std::vector<std::string> SplitAtNul(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> parts(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      parts.emplace_back();
    } else {
      parts.back().push_back(static_cast<char>(data[i]));
    }
  }
  parts.resize(3);
  return parts;
}

// Prepares and steps a statement. Only a date that is not a date may fail, and only while
// running.
void Check(const std::string& statement) {
  const std::string sql = TranslateStatement(statement);
  std::unique_ptr<Statement> st;
  try {
    st = std::make_unique<Statement>(Log(), sql);
  } catch (const Failure&) {
    Fail();
  }
  try {
    while (st->Step()) {
    }
  } catch (const Failure& f) {
    if (f.Number() != err::kTypeMismatch) Fail();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> parts = SplitAtNul(data, size);
  const std::string& call = parts[0];

  try {
    const Criterion c = ParseCriterion("Call = '" + QuoteText(call) + "'");
    if (c.field != "Call" || c.value != call) Fail();
  } catch (const Failure&) {
    Fail();
  }

  const CandidateCriteria criteria{parts[1], parts[2], false, call};
  const std::string candidates = BuildCandidateStatement(criteria);
  try {
    if (MakeRowidSelect(TranslateStatement(candidates)).table != "QSOs") Fail();
  } catch (const Failure&) {
    Fail();
  }
  Check(candidates);
  return 0;
}
