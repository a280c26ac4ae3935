#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "FakeDialogs.h"
#include "FakeHost.h"
#include "FakeView.h"
#include "core/ZorvikMod.h"
#include "host/HostMonitor.h"
#include "logops/LogOperations.h"

struct sqlite3;

namespace zorvik::logops_test {

// A contact row; every field left empty is stored as Null.
struct Qso {
  std::string call = "DL1XX";
  std::string begin = "2004-05-01 12:00:00";
  std::string end = "2004-05-01 12:05:00";
  std::optional<double> freq = 14.2;
  std::optional<std::string> band = "20M";
  std::optional<std::string> mode = "SSB";
  std::string dxccid = "230";
  std::string op = "W1AW";
  std::optional<std::string> sent;
  std::optional<std::string> rcvd;
};

// How the text columns of a scratch log compare: as the program's schema declares them (without
// regard to case), or as in a log whose columns were declared without COLLATE NOCASE.
enum class TextColumns { kNoCase, kBinary };

// Which engine this run of the suite reaches its logs through: SQLite itself, or, when the
// environment says ZORVIK_LOG_ENGINE=dao (the Windows build under Wine), the DAO engine over the
// test stand-in (tests/logdb/dao/standin), each log then opened through a Jet-routed file.
bool ThroughDao();

// A fresh log with the program's schema in a temporary folder, plus raw SQLite access to set it
// up and inspect it behind the program's back.
//
// Through DAO, Path() is the Jet-routed file beside the SQLite log, and the columns are always
// case-blind: a Jet log compares all text without regard to case.
class ScratchLog {
 public:
  explicit ScratchLog(TextColumns columns = TextColumns::kNoCase);
  ~ScratchLog();
  ScratchLog(const ScratchLog&) = delete;
  ScratchLog& operator=(const ScratchLog&) = delete;

  // Called with every scratch log just before it goes, when set (LogDumps.cpp).
  static inline std::function<void(ScratchLog&)> whenGone;

  // The log as the program opens it.
  const std::string& Path() const { return programPath_; }
  std::string Folder() const { return dir_.string(); }

  void Exec(const std::string& sql);
  // Runs `sql` with `params` bound in order (nullopt binds Null).
  void Exec(const std::string& sql, const std::vector<std::optional<std::string>>& params);
  // Every row of `sql`, each column as text ("<null>" for Null).
  std::vector<std::vector<std::string>> Rows(const std::string& sql);
  std::string Text(const std::string& sql);  // first column of the first row
  std::int64_t Count(const std::string& sql);

  // Returns the rowid of the new contact.
  std::int64_t AddQso(const Qso& q);
  // A queue row with the fields DXKeeper's own rows always have.
  void AddQueueRow(const std::string& call, const std::string& dxccid, const std::string& band,
                   const std::string& mode, std::optional<double> freq = 14.2,
                   std::optional<std::string> begin = "2001-01-01 00:00:00");
  // `bandModes` is padded with "-" to 44 characters.
  void SetProgress(const std::string& code, std::string bandModes);

  // The four tables, row by row, in rowid order: equal dumps mean equal logs.
  std::string Dump();

  // The first value of `sql` as the file stores it: SQLite's storage class ("integer", "real",
  // "text", "null") and the value's bytes (a real's eight bytes as they are in memory).
  struct Stored {
    std::string kind;
    std::string bytes;
  };
  Stored StoredValue(const std::string& sql);

  // Closes the raw connection (for tests that must not hold the file open).
  void Disconnect();

 private:
  sqlite3* Db();
  std::filesystem::path dir_;
  std::string path_;  // the SQLite file
  std::string programPath_;
  sqlite3* db_ = nullptr;
};

// One contact that Add queues (entity 230, every slot "W") and one whose QSL letters Log Clean
// blanks.
void AddOneToQueueAndOneToClean(ScratchLog& log);

// A BandModes text with "W" at the given 1-based positions and "-" elsewhere.
std::string BandModesWith(std::initializer_list<int> worked, char other = '-');

// The services of one window around the log operations, all fakes, pointing at `log`.
struct Harness {
  explicit Harness(const std::string& logPath);

  ZorvikMod mod;
  testing::FakeDde dde;
  testing::FakeSettings settings;
  testing::FakeDialogs dialogs;
  testing::FakeView view;
  host::HostContext host;
  logdb::LogSession session;
  logdb::AppContext ctx;
};

}  // namespace zorvik::logops_test
