#include "LogFixture.h"

#include <sqlite3.h>

#include <cstdlib>
#include <stdexcept>

#include "logdb/sqlite/LogSchema.h"
#include "support/JetRoutedLog.h"
#include "support/TempFolder.h"

namespace zorvik::logops_test {
namespace {

void Check(sqlite3* db, int rc, const std::string& what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
    throw std::runtime_error(what + ": " + sqlite3_errmsg(db));
  }
}

}  // namespace

bool ThroughDao() {
  const char* engine = std::getenv("ZORVIK_LOG_ENGINE");
  return engine != nullptr && std::string(engine) == "dao";
}

ScratchLog::ScratchLog(TextColumns columns)
    : dir_(testing::MakeTempFolder("zorvik-logops")),
      path_((dir_ / "log.sqlite").string()),
      programPath_(path_) {
  if (ThroughDao()) {
    testing::WriteJetRoutedLog(dir_ / "log.mdb", "log.sqlite");
    programPath_ = (dir_ / "log.mdb").string();
    columns = TextColumns::kNoCase;
  }
  std::string schema(logdb::LogSchemaSql());
  if (columns == TextColumns::kBinary) {
    const std::string collation = " COLLATE NOCASE";
    for (auto at = schema.find(collation); at != std::string::npos; at = schema.find(collation))
      schema.erase(at, collation.size());
  }
  Exec(schema);
}

ScratchLog::~ScratchLog() {
  if (whenGone) whenGone(*this);
  Disconnect();
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
}

void ScratchLog::Disconnect() {
  if (db_) sqlite3_close_v2(db_);
  db_ = nullptr;
}

sqlite3* ScratchLog::Db() {
  if (!db_) {
    Check(nullptr,
          sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
          "open " + path_);
    sqlite3_busy_timeout(db_, 5000);
  }
  return db_;
}

void ScratchLog::Exec(const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(Db(), sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    std::string text = message ? message : "?";
    sqlite3_free(message);
    throw std::runtime_error(sql + ": " + text);
  }
}

void ScratchLog::Exec(const std::string& sql,
                      const std::vector<std::optional<std::string>>& params) {
  sqlite3_stmt* st = nullptr;
  Check(Db(), sqlite3_prepare_v2(Db(), sql.c_str(), -1, &st, nullptr), sql);
  for (std::size_t i = 0; i < params.size(); ++i) {
    const int at = static_cast<int>(i) + 1;
    if (params[i]) {
      sqlite3_bind_text(st, at, params[i]->c_str(), -1, SQLITE_TRANSIENT);
    } else {
      sqlite3_bind_null(st, at);
    }
  }
  const int rc = sqlite3_step(st);
  sqlite3_finalize(st);
  Check(Db(), rc, sql);
}

std::vector<std::vector<std::string>> ScratchLog::Rows(const std::string& sql) {
  sqlite3_stmt* st = nullptr;
  Check(Db(), sqlite3_prepare_v2(Db(), sql.c_str(), -1, &st, nullptr), sql);
  std::vector<std::vector<std::string>> rows;
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    std::vector<std::string> row;
    for (int c = 0; c < sqlite3_column_count(st); ++c) {
      const auto* text = sqlite3_column_text(st, c);
      row.push_back(text ? reinterpret_cast<const char*>(text) : "<null>");
    }
    rows.push_back(std::move(row));
  }
  sqlite3_finalize(st);
  Check(Db(), rc, sql);
  return rows;
}

std::string ScratchLog::Text(const std::string& sql) {
  auto rows = Rows(sql);
  return rows.empty() || rows[0].empty() ? "<none>" : rows[0][0];
}

std::int64_t ScratchLog::Count(const std::string& sql) {
  return std::stoll(Text(sql));
}

std::int64_t ScratchLog::AddQso(const Qso& q) {
  auto num = [](std::optional<double> v) -> std::optional<std::string> {
    if (!v) return std::nullopt;
    return std::to_string(*v);
  };
  Exec(
      "INSERT INTO QSOs (Call, QSO_Begin, QSO_End, Freq, Band, Mode, DXCCID, DXCCPrefix, "
      "QSL_Sent, QSL_Rcvd, Operator, RST_Sent, RST_Rcvd, QSL_Via, QSLMsg, MYQTHID, Name) "
      "VALUES (?, ?, ?, CAST(? AS REAL), ?, ?, ?, 'DL', ?, ?, ?, '59', '57', 'BURO', 'TNX', "
      "'HOME', 'Hans')",
      {q.call, q.begin, q.end, num(q.freq), q.band, q.mode, q.dxccid, q.sent, q.rcvd, q.op});
  return sqlite3_last_insert_rowid(Db());
}

void ScratchLog::AddQueueRow(const std::string& call, const std::string& dxccid,
                             const std::string& band, const std::string& mode,
                             std::optional<double> freq, std::optional<std::string> begin) {
  Exec(
      "INSERT INTO PrintQueue (Call, dxccid, band, mode, Freq, QSO_Begin, Incidence, "
      "\"Unique\") VALUES (?, ?, ?, ?, CAST(? AS REAL), ?, '1', 'Y')",
      {call, dxccid, band, mode,
       freq ? std::optional<std::string>(std::to_string(*freq)) : std::nullopt, begin});
}

void ScratchLog::SetProgress(const std::string& code, std::string bandModes) {
  if (bandModes.size() < 44) bandModes.resize(44, '-');
  Exec("INSERT INTO Progress (CountryCode, Prefix, BandModes) VALUES (?, 'X', ?)",
       {code, bandModes});
}

std::string ScratchLog::Dump() {
  std::string out;
  for (const char* table : {"QSOs", "Progress", "QTHs", "PrintQueue"}) {
    out += std::string("== ") + table + "\n";
    for (const auto& row : Rows(std::string("SELECT rowid, * FROM ") + table + " ORDER BY rowid")) {
      for (const auto& v : row) out += v + "|";
      out += "\n";
    }
  }
  return out;
}

ScratchLog::Stored ScratchLog::StoredValue(const std::string& sql) {
  sqlite3_stmt* st = nullptr;
  Check(Db(), sqlite3_prepare_v2(Db(), sql.c_str(), -1, &st, nullptr), sql);
  Stored stored{"none", {}};
  if (sqlite3_step(st) == SQLITE_ROW) {
    switch (sqlite3_column_type(st, 0)) {
      case SQLITE_INTEGER: {
        const sqlite3_int64 n = sqlite3_column_int64(st, 0);
        stored = {"integer", std::string(reinterpret_cast<const char*>(&n), sizeof n)};
        break;
      }
      case SQLITE_FLOAT: {
        const double d = sqlite3_column_double(st, 0);
        stored = {"real", std::string(reinterpret_cast<const char*>(&d), sizeof d)};
        break;
      }
      case SQLITE_NULL:
        stored = {"null", {}};
        break;
      default: {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(st, 0));
        stored = {"text", std::string(bytes ? bytes : "", sqlite3_column_bytes(st, 0))};
      }
    }
  }
  sqlite3_finalize(st);
  return stored;
}

void AddOneToQueueAndOneToClean(ScratchLog& log) {
  log.AddQso({});
  Qso stray;
  stray.sent = "N";
  stray.rcvd = "N";
  log.AddQso(stray);
  log.SetProgress("230", std::string(44, 'W'));
}

std::string BandModesWith(std::initializer_list<int> worked, char other) {
  std::string text(44, other);
  for (int p : worked) text[static_cast<std::size_t>(p) - 1] = 'W';
  return text;
}

Harness::Harness(const std::string& logPath)
    : host{mod, dde, settings, dialogs, view, {"Zorvik", 1, 4, 2}}, ctx{host, session} {
  mod.LogPathName = logPath;
  mod.HostCallSign = "W1AW";
  mod.StopDatePlusOne = "1/1/2030";
  settings.Set("LogPathName", logPath);
  view.databaseField = logPath;
  view.startDate = "1/1/1900";
}

}  // namespace zorvik::logops_test
