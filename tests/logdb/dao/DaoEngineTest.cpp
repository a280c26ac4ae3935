// The DAO engine through COM automation, against the stand-in that plays DAO 3.6 over SQLite
// (standin/, registered in the Wine prefix by scripts/dao-standin): the engine choice, DAO
// missing, failure numbers, transactions and the backup before writing. The log operations as a
// whole run through DAO in tests/logops (zorvik_logops_tests_dao).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <vector>

#include <windows.h>

#include "LogFixture.h"
#include "logdb/Utf8Path.h"
#include "logdb/dao/DaoDatabase.h"
#include "logdb/sqlite/SqliteDatabase.h"
#include "logops/LogBackup.h"
#include "support/ComForTheRun.h"
#include "support/JetRoutedLog.h"
#include "support/ScopedLogEngine.h"

namespace zorvik::logops_test {
namespace {

namespace fs = std::filesystem;
using logdb::Database;
using logdb::dao::DaoDatabase;

[[maybe_unused]] const auto* const kCom =
    ::testing::AddGlobalTestEnvironment(new zorvik::testing::ComForTheRun);

std::string Bytes(const std::string& path) {
  std::ifstream in(logdb::Utf8Path(path), std::ios::binary);
  return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<no file>";
}

// A scratch log with one contact Add queues and one whose QSL letters Log Clean blanks, and the
// Jet-routed file that opens it with DAO.
class DaoEngine : public ::testing::Test {
 protected:
  DaoEngine() {
    AddOneToQueueAndOneToClean(log);
    zorvik::testing::WriteJetRoutedLog(logdb::Utf8Path(jet), "log.sqlite");
  }
  ScratchLog log;
  const std::string jet = log.Folder() + "\\log.mdb";
  zorvik::testing::ScopedLogEngine dao{
      logdb::LogFileKind::kJet,
      [](const std::string& path) -> std::unique_ptr<Database> { return DaoDatabase::Open(path); }};
};

TEST_F(DaoEngine, TheFirstBytesChooseTheEngine) {
  struct Case {
    std::string path;
    bool dao;
  };
  for (const Case& c : {Case{jet, true}, Case{log.Path(), false}}) {
    SCOPED_TRACE(c.path);
    const std::unique_ptr<Database> db = Database::Open(c.path);
    EXPECT_EQ(dynamic_cast<DaoDatabase*>(db.get()) != nullptr, c.dao);
    EXPECT_EQ(dynamic_cast<logdb::SqliteDatabase*>(db.get()) != nullptr, !c.dao);
    EXPECT_EQ(db->NeedsBackupBeforeWriting(), c.dao);
    EXPECT_EQ(db->Dialect(),
              c.dao ? logdb::StatementDialect::kJet : logdb::StatementDialect::kSqlite);
    const auto qsos = db->OpenRecordset("Select * From QSOs");
    qsos->MoveLast();
    EXPECT_EQ(qsos->RecordCount(), 2);
    EXPECT_EQ(qsos->Fields("qso_begin").ToText(), "2004-05-01 12:00:00");
  }
}

// DAO's failures reach the layer with the numbers and descriptions Jet raised, 3021 included,
// passed through EXCEPINFO; the SQLite engine fails the same way with the same numbers.
TEST_F(DaoEngine, FailuresKeepTheEnginesNumbersAndDescriptions) {
  using Action = std::function<void(Database&)>;
  struct Case {
    const char* what;
    int number;
    Action act;
    const char* daoDescription;
  };
  log.Exec("DELETE FROM PrintQueue");
  const Case cases[] = {
      {"MoveFirst on an empty set", err::kNoCurrentRecord,
       [](Database& db) { db.OpenRecordset("Select * From PrintQueue")->MoveFirst(); },
       "No current record."},
      {"a field the set lacks", err::kUnknownField,
       [](Database& db) { db.OpenRecordset("Select * From QSOs")->Fields("Nope"); },
       "Item not found in this collection."},
      {"a field the statement's table lacks", err::kStatementUnknownField,
       [](Database& db) { db.Execute("Update QSOs Set Nope = ''"); },
       "Too few parameters. Expected 1. (Jet reads the unknown name Nope as a parameter)"},
      {"a statement that cannot be read", err::kSyntaxError,
       [](Database& db) { db.Execute("Update QSOs Set QSL_Rcvd = '' Where"); },
       "Syntax error (missing operator) in query expression 'Update QSOs Set QSL_Rcvd = '' "
       "Where'."},
      {"a criterion that cannot be read", err::kCriterionSyntax,
       [](Database& db) { db.OpenRecordset("Select * From QSOs")->FindFirst("Call = 'D"); },
       "Syntax error (missing operator) in expression."},
  };
  const auto failureOf = [](const Action& act, Database& db) {
    try {
      act(db);
    } catch (const Failure& f) {
      return std::to_string(f.Number()) + " : " + f.Description();
    }
    return std::string("no failure");
  };
  const std::unique_ptr<Database> direct = Database::Open(log.Path());
  const std::unique_ptr<Database> throughDao = Database::Open(jet);
  for (const Case& c : cases) {
    const std::string prefix = std::to_string(c.number) + " : ";
    const std::string expected = failureOf(c.act, *direct);
    EXPECT_EQ(expected.rfind(prefix, 0), 0u) << c.what << ": " << expected;
    EXPECT_EQ(failureOf(c.act, *throughDao), prefix + c.daoDescription) << c.what;
  }
  try {
    DaoDatabase::Open(log.Folder() + "\\gone.mdb");
    ADD_FAILURE() << "a missing log opened";
  } catch (const Failure& f) {
    EXPECT_EQ(f.Number(), err::kFileNotFound) << f.Description();
  }
}

// The run's transaction and the per-contact savepoints are the workspace's nested levels.
TEST_F(DaoEngine, SavepointsNestInsideTheRunsTransaction) {
  for (const bool commit : {false, true}) {
    SCOPED_TRACE(commit ? "committed" : "not committed");
    log.Exec("UPDATE QSOs SET QSL_Sent = NULL, QSL_Rcvd = NULL, Name = 'Hans'");
    {
      const std::unique_ptr<Database> db = Database::Open(jet);
      logdb::Transaction run(*db);
      db->Execute("Update QSOs Set QSL_Sent = 'A'");
      {
        logdb::Savepoint kept(*db);
        db->Execute("Update QSOs Set QSL_Rcvd = 'C'");
        kept.Release();
      }
      {
        logdb::Savepoint dropped(*db);
        db->Execute("Update QSOs Set Name = 'B'");
        EXPECT_EQ(db->TransactionDepth(), 2);
      }
      EXPECT_EQ(db->TransactionDepth(), 1);
      EXPECT_TRUE(run.Active());
      if (commit) run.Commit();
    }
    const auto expected = commit ? std::vector<std::string>{"A", "C", "Hans"}
                                 : std::vector<std::string>{"<null>", "<null>", "Hans"};
    EXPECT_EQ(log.Rows("SELECT QSL_Sent, QSL_Rcvd, Name FROM QSOs WHERE rowid = 1")[0], expected);
  }
}

// Takes a key of the prefix's class registration (HKLM\Software\Classes) away, with its values,
// and puts it back when it goes.
class RegistrationRemoved {
 public:
  explicit RegistrationRemoved(std::wstring key) : key_(L"Software\\Classes\\" + std::move(key)) {
    Save(key_);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, key_.c_str());
  }
  ~RegistrationRemoved() {
    for (const auto& [key, name, value] : saved_) {
      RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), name.empty() ? nullptr : name.c_str(),
                      REG_SZ, value.c_str(),
                      static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
  }
  RegistrationRemoved(const RegistrationRemoved&) = delete;
  RegistrationRemoved& operator=(const RegistrationRemoved&) = delete;

 private:
  // Every text value below `key`, subkeys included.
  void Save(const std::wstring& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
      return;
    }
    wchar_t name[256], value[1024];
    for (DWORD i = 0;; ++i) {
      DWORD nameSize = 256, valueSize = sizeof value, type = 0;
      if (RegEnumValueW(handle, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(value),
                        &valueSize) != ERROR_SUCCESS) {
        break;
      }
      if (type == REG_SZ) saved_.push_back({key, name, value});
    }
    std::vector<std::wstring> subkeys;
    for (DWORD i = 0;; ++i) {
      DWORD nameSize = 256;
      if (RegEnumKeyExW(handle, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS) {
        break;
      }
      subkeys.push_back(key + L"\\" + name);
    }
    RegCloseKey(handle);
    for (const std::wstring& subkey : subkeys) Save(subkey);
  }

  struct Saved {
    std::wstring key, name, value;
  };
  std::wstring key_;
  std::vector<Saved> saved_;
};

// Without DAO registered, a Jet log gives 429 saying what is missing; the program goes on.
TEST_F(DaoEngine, WithoutDaoTheLogGives429SayingWhatIsMissing) {
  struct Case {
    const wchar_t* removed;
    const char* comAnswer;
  };
  const Case cases[] = {
      {L"DAO.DBEngine.36", "CLSIDFromProgID 0x800401F3"},
      {L"CLSID\\{00000100-0000-0010-8000-00AA006D2EA4}", "CoCreateInstance 0x80040154"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.comAnswer);
    const RegistrationRemoved removed(c.removed);
    try {
      Database::Open(jet);
      ADD_FAILURE() << "opened without DAO";
    } catch (const Failure& f) {
      EXPECT_EQ(f.Number(), 429);
      for (const char* part :
           {"ActiveX component can't create object", "DAO 3.6", "DXKeeper", c.comAnswer}) {
        EXPECT_NE(f.Description().find(part), std::string::npos) << part << ": " << f.Description();
      }
    }
    Harness h(jet);
    logdb::LoadQslQueue(h.ctx);
    ASSERT_EQ(h.dialogs.boxes.size(), 2u);  // Add's box, then the queue count's
    EXPECT_EQ(h.dialogs.boxes[0].text.rfind("Error code: 429\r\nDescription: ", 0), 0u);
    EXPECT_EQ(h.dialogs.boxes[1].text.rfind("429 : ", 0), 0u);
    EXPECT_EQ(h.dde.journal, (std::vector<std::string>{"001closelog", "001openlastlog"}));
  }
  EXPECT_EQ(Database::Open(jet)->Dialect(), logdb::StatementDialect::kJet) << "registered again";
}

// Add and Log Clean copy a Jet log before their first write, one copy per run, while DXKeeper
// holds the file open as Jet does (read and write, sharing both). The copy is of the Jet-routed
// file (the stand-in's data lives in the SQLite log beside it); that the copy is the whole log as
// it was is shown on SQLite by tests/logops/LogBackupTest.cpp.
TEST_F(DaoEngine, AddAndLogCleanCopyTheLogBeforeWritingWhileDxkeeperHoldsIt) {
  struct Held {
    HANDLE h;
    ~Held() {
      if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
  } dxkeeper{CreateFileW(logdb::Utf8Path(jet).c_str(), GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr)};
  ASSERT_NE(dxkeeper.h, INVALID_HANDLE_VALUE);
  Harness h(jet);
  logdb::LoadQslQueue(h.ctx);
  EXPECT_TRUE(h.dialogs.boxes.empty()) << h.dialogs.boxes[0].text;
  EXPECT_EQ(h.view.billboard, "1 QSO records were loaded into the QSL queue.");
  EXPECT_EQ(h.view.queueCount, "1");
  std::vector<std::string> backups = logdb::BackupsOf(jet);
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(Bytes(backups[0]), Bytes(jet));
  logdb::CleanLog(h.ctx);
  EXPECT_TRUE(h.dialogs.boxes.empty()) << h.dialogs.boxes[0].text;
  EXPECT_EQ(h.view.billboard,
            "1 QSL_Rcvd records were cleaned\r\n\r\n1 QSL_Sent records were cleaned");
  backups = logdb::BackupsOf(jet);
  ASSERT_EQ(backups.size(), 2u);
  EXPECT_EQ(Bytes(backups[1]), Bytes(jet));
  std::set<std::string> files;
  for (const auto& entry : fs::directory_iterator(logdb::Utf8Path(log.Folder()))) {
    files.insert(entry.path().filename().string());
  }
  // Jet's lock file stays while Zorvik has the log open (LogDb is never closed explicitly).
  std::set<std::string> expected{"log.sqlite", "log.mdb", "log.ldb"};
  for (const std::string& b : backups) expected.insert(fs::path(b).filename().string());
  EXPECT_EQ(files, expected);
}

TEST_F(DaoEngine, ABackupThatCannotBeMadeLeavesTheLogAsItWas) {
  // The copy is made under its own name first; a folder of that name stops it. The name holds
  // the time of the run, so the folders cover every second the runs may fall in.
  const auto now = std::chrono::system_clock::now();
  for (int s = -2; s <= 30; ++s) {
    fs::create_directory(
        logdb::Utf8Path(logdb::BackupPathFor(jet, now + std::chrono::seconds(s)) + "-new"));
  }
  struct Action {
    const char* what;
    void (*run)(logdb::AppContext&);
    const char* boxStart;
  };
  for (const Action& a : {Action{"Add", &logdb::LoadQslQueue, "Error code: 75\r\nDescription: "},
                          Action{"Log Clean", &logdb::CleanLog, "75 : "}}) {
    SCOPED_TRACE(a.what);
    const std::string before = log.Dump();
    Harness h(jet);
    a.run(h.ctx);
    ASSERT_FALSE(h.dialogs.boxes.empty());
    EXPECT_EQ(h.dialogs.boxes[0].text.rfind(a.boxStart, 0), 0u) << h.dialogs.boxes[0].text;
    EXPECT_NE(h.dialogs.boxes[0].text.find(jet + ".zorvik-backup-"), std::string::npos)
        << h.dialogs.boxes[0].text;
    EXPECT_EQ(log.Dump(), before);
    EXPECT_TRUE(logdb::BackupsOf(jet).empty());
  }
}

// Jet runs an update statement row by row and keeps a transaction open after running out of
// memory or resources, storing an unknown part of it when committed. Zorvik must leave a Jet log
// either as the action leaves it or as it was: Log Clean's statements each whole or not at all,
// an Add that meets such a failure (or a failed commit or rollback) not at all, with one box and
// DXKeeper's log given back.
TEST_F(DaoEngine, NothingIsHalfWrittenOnJet) {
  enum class Expect { kAsBefore, kFirstStatementOnly };
  struct Case {
    const char* what;
    std::vector<std::string> switches;
    bool clean;  // Log Clean, else Add
    int number;  // of the one box
    Expect log;
    bool refuseARow = false;  // the log refuses the second contact's queue row
  };
  // Add's candidates are F103, F104, F105 and M1. Its writes: 1 M1's (whose slot is queued),
  // then two for each of the others (its mark, its row).
  const Case cases[] = {
      {"Log Clean, the first statement meets a locked row",
       {"lock QSOs 2 3260"},
       true,
       3260,
       Expect::kAsBefore},
      {"Log Clean, the second statement meets a locked row",
       {"lock QSOs 3 3218"},
       true,
       3218,
       Expect::kFirstStatementOnly},
      {"Add, out of memory in the middle of the walk",
       {"fault write 6 2004"},
       false,
       2004,
       Expect::kAsBefore},
      {"Add, system resources exceeded", {"fault write 5 3035"}, false, 3035, Expect::kAsBefore},
      {"Add, too many locks", {"fault write 4 3052"}, false, 3052, Expect::kAsBefore},
      {"Add, the disk full", {"fault write 7 3026"}, false, 3026, Expect::kAsBefore},
      {"Add, the run's commit fails", {"fault commit 1 3035"}, false, 3035, Expect::kAsBefore},
      {"Add, a contact's commit fails", {"fault commit 2 2004"}, false, 2004, Expect::kAsBefore},
      {"Add, a failed contact cannot be rolled back",
       {"fault rollback 2 3035"},
       false,
       3146,
       Expect::kAsBefore,
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchLog fresh;
    // rowid 1 and 2: QSL_Rcvd to be cleaned; rowid 3: QSL_Sent to be cleaned. Entities 100 to
    // 105 have a free slot each; entity 7's slot is queued already.
    for (int i = 0; i < 6; ++i) {
      Qso q;
      q.call = "F" + std::to_string(100 + i);
      q.dxccid = std::to_string(100 + i);
      if (i < 2) q.rcvd = "N";
      if (i == 2) q.sent = "N";
      fresh.AddQso(q);
      fresh.SetProgress(q.dxccid, std::string(44, 'W'));
    }
    Qso queued;
    queued.call = "M1";
    queued.dxccid = "7";
    fresh.AddQso(queued);
    fresh.SetProgress("7", std::string(44, 'W'));
    fresh.AddQueueRow("OLD", "7", "20M", "SSB");
    if (c.refuseARow) {
      fresh.Exec(
          "CREATE TRIGGER refuse BEFORE INSERT ON PrintQueue WHEN NEW.Call = 'F104' "
          "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    }
    const std::string path = fresh.Folder() + "\\log.mdb";
    zorvik::testing::WriteJetRoutedLog(logdb::Utf8Path(path), "log.sqlite", c.switches);
    const std::string before = fresh.Dump();
    fresh.Exec("UPDATE QSOs SET QSL_Rcvd = '' WHERE rowid <= 2");
    const std::string firstStatementOnly = fresh.Dump();
    fresh.Exec("UPDATE QSOs SET QSL_Rcvd = 'N' WHERE rowid <= 2");

    Harness h(path);
    h.view.billboard = "before";
    if (c.clean) {
      logdb::CleanLog(h.ctx);
    } else {
      logdb::LoadQslQueue(h.ctx);
    }
    ASSERT_FALSE(h.dialogs.boxes.empty());
    const std::string& text = h.dialogs.boxes[0].text;
    const std::string number = std::to_string(c.number);
    EXPECT_TRUE(text.rfind(number + " : ", 0) == 0 ||
                text.rfind("Error code: " + number + "\r\n", 0) == 0)
        << text;
    // One box; Add's run also counts the queue, which must not fail either.
    EXPECT_EQ(h.dialogs.boxes.size(), 1u) << h.dialogs.boxes.back().text;
    h.session.CloseAllSets();
    h.session.LogDb.reset();
    EXPECT_EQ(fresh.Dump(), c.log == Expect::kAsBefore ? before : firstStatementOnly);
    if (c.clean) {
      EXPECT_EQ(h.view.billboard, "before");
    } else {
      EXPECT_EQ(h.view.billboard, "0 QSO records were loaded into the QSL queue.");
      EXPECT_EQ(h.dde.journal, (std::vector<std::string>{"001closelog", "001openlastlog"}));
    }
  }
}

// The outermost commit asks Jet to bring the writes to disk (dbForceOSFlush), so that DXKeeper,
// told to take its log back, reads them; statements go with dbFailOnError, each of Log Clean's
// in a transaction of its own.
TEST_F(DaoEngine, CommitsAreOnDiskBeforeDxKeeperGetsItsLog) {
  const std::string journal = log.Folder() + "\\journal.txt";
  zorvik::testing::WriteJetRoutedLog(logdb::Utf8Path(jet), "log.sqlite", {"journal " + journal});
  Harness h(jet);
  logdb::CleanLog(h.ctx);
  logdb::LoadQslQueue(h.ctx);
  EXPECT_TRUE(h.dialogs.boxes.empty());
  std::vector<std::string> writes;
  std::ifstream lines(logdb::Utf8Path(journal));
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("OpenRecordset", 0) != 0) writes.push_back(line.substr(0, line.find(" Where")));
  }
  EXPECT_EQ(writes, (std::vector<std::string>{
                        "BeginTrans", "Execute 128 Update QSOs Set QSL_Rcvd=''",
                        "CommitTrans dbForceOSFlush", "BeginTrans",
                        "Execute 128 Update QSOs Set QSL_Sent=''", "CommitTrans dbForceOSFlush",
                        // Add: the run, one contact in a level of its own, the marks of
                        // older versions removed, then the commit.
                        "BeginTrans", "BeginTrans", "CommitTrans",
                        "Execute 128 Update QSOs Set QSL_Rcvd=''", "CommitTrans dbForceOSFlush"}));
}

// A log Jet will not open shared gets a box that says what to do, in every action: a folder where
// Jet's lock file cannot be made (read-only), or a lock file another program holds.
TEST_F(DaoEngine, ASharedOpenJetRefusesSaysWhatToDo) {
  const std::filesystem::path lockFile = logdb::Utf8Path(log.Folder()) / "log.ldb";
  struct Case {
    const char* what;
    int number;
    std::function<std::function<void()>()> block;  // blocks the open; gives what unblocks it
  };
  const Case cases[] = {
      {"a folder of the lock file's name", err::kCannotOpenShared,
       [&] {
         std::filesystem::create_directory(lockFile);
         return std::function<void()>([&] { std::filesystem::remove(lockFile); });
       }},
      {"the lock file held by another program", err::kFileInUse,
       [&] {
         HANDLE held = CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
         return std::function<void()>([held, &lockFile] {
           CloseHandle(held);
           std::filesystem::remove(lockFile);
         });
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string before = log.Dump();
    const std::function<void()> unblock = c.block();
    Harness h(jet);
    logdb::ShowQueueCount(h.ctx);
    logdb::CleanLog(h.ctx);
    logdb::LoadQslQueue(h.ctx);
    unblock();
    // Refresh, Log Clean, then Add's own box and the queue count that closes it.
    ASSERT_EQ(h.dialogs.boxes.size(), 4u);
    const std::string number = std::to_string(c.number);
    const std::string starts[] = {number + " : ", number + " : ",
                                  "Error code: " + number + "\r\nDescription: ", number + " : "};
    for (std::size_t i = 0; i < 4; ++i) {
      const std::string& text = h.dialogs.boxes[i].text;
      EXPECT_EQ(text.rfind(starts[i], 0), 0u) << text;
      EXPECT_NE(text.find(lockFile.filename().string()), std::string::npos) << text;
      EXPECT_NE(text.find("then try again"), std::string::npos) << text;
    }
    EXPECT_EQ(log.Dump(), before);
  }
}

}  // namespace
}  // namespace zorvik::logops_test
