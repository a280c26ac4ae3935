// The copy of the log that Add and Log Clean make before their first write on an engine that asks
// for one. The engine here is SQLite behind a wrapper that asks for the copy, and that notes what
// the backup held when the first write began.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "LogFixture.h"
#include "logdb/sqlite/SqliteDatabase.h"
#include "logops/LogBackup.h"
#include "support/ScopedLogEngine.h"

namespace zorvik::logops_test {
namespace {

namespace fs = std::filesystem;
using logdb::CleanLog;
using logdb::LoadQslQueue;

// A file's content in short, so that a failing comparison prints a line, not the whole log.
std::string Content(const std::string& path) {
  if (!fs::is_regular_file(path)) return "<no file>";
  std::ifstream in(path, std::ios::binary);
  const std::string bytes(std::istreambuf_iterator<char>(in), {});
  return std::to_string(bytes.size()) + " bytes, hash " +
         std::to_string(std::hash<std::string>{}(bytes));
}

// The newest backup of the log at `path`, or "" when there is none.
std::string NewestBackup(const std::string& path) {
  const std::vector<std::string> backups = logdb::BackupsOf(path);
  return backups.empty() ? std::string() : backups.back();
}

class BackedUpSqlite final : public logdb::Database {
 public:
  BackedUpSqlite(const std::string& path, std::vector<std::string>& backupAtFirstWrite)
      : inner_(logdb::SqliteDatabase::Open(path)), backupAtFirstWrite_(backupAtFirstWrite) {}

  std::unique_ptr<logdb::Recordset> OpenRecordset(const std::string& statement) override {
    return inner_->OpenRecordset(statement);
  }
  void Execute(const std::string& statement) override {
    FirstWrite();
    inner_->Execute(statement);
  }
  std::int64_t RecordsAffected() const override { return inner_->RecordsAffected(); }
  const std::string& Path() const override { return inner_->Path(); }
  bool NeedsBackupBeforeWriting() const noexcept override { return true; }
  logdb::StatementDialect Dialect() const noexcept override { return inner_->Dialect(); }
  // Every write of an Add lies inside its transaction; Log Clean writes with Execute.
  void BeginTrans() override {
    FirstWrite();
    inner_->BeginTrans();
  }
  void CommitTrans() override { inner_->CommitTrans(); }
  void Rollback() noexcept override { inner_->Rollback(); }
  int TransactionDepth() const noexcept override { return inner_->TransactionDepth(); }
  bool TransactionActive() const noexcept override { return inner_->TransactionActive(); }

 private:
  void FirstWrite() {
    if (wrote_) return;
    wrote_ = true;
    backupAtFirstWrite_.push_back(Content(NewestBackup(Path())));
  }
  std::unique_ptr<logdb::SqliteDatabase> inner_;
  std::vector<std::string>& backupAtFirstWrite_;
  bool wrote_ = false;
};

std::set<std::string> FilesIn(const std::string& folder) {
  std::set<std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    files.insert(entry.path().filename().string());
  }
  return files;
}

class LogBackup : public ::testing::Test {
 protected:
  LogBackup() { AddOneToQueueAndOneToClean(log); }
  std::vector<std::string> backupAtFirstWrite;
  zorvik::testing::ScopedLogEngine engine{
      logdb::LogFileKind::kSqlite, [this](const std::string& path) {
        return std::make_unique<BackedUpSqlite>(path, backupAtFirstWrite);
      }};
  ScratchLog log;
};

// Three runs, within one second as a quick user makes them: three backups, each the log as it
// was before its own run. A copy an older Zorvik left (one name, replaced every run) is not
// Zorvik's to remove.
TEST_F(LogBackup, EachRunLeavesItsOwnCopyOfTheLogAsItWasBeforeItsFirstWrite) {
  const std::string olderZorviks = log.Path() + ".zorvik-backup";
  std::ofstream(olderZorviks) << "an older Zorvik's backup";
  Harness h(log.Path());
  std::vector<std::string> before;

  before.push_back(Content(log.Path()));
  LoadQslQueue(h.ctx);
  EXPECT_EQ(h.view.billboard, "1 QSO records were loaded into the QSL queue.");
  before.push_back(Content(log.Path()));
  ASSERT_NE(before[1], before[0]);
  CleanLog(h.ctx);
  EXPECT_EQ(h.view.billboard,
            "1 QSL_Rcvd records were cleaned\r\n\r\n1 QSL_Sent records were cleaned");
  before.push_back(Content(log.Path()));
  ASSERT_NE(before[2], before[1]);
  Qso cleanable;
  cleanable.call = "G3XX";
  cleanable.sent = "N";
  log.AddQso(cleanable);
  before.back() = Content(log.Path());
  CleanLog(h.ctx);
  EXPECT_EQ(h.view.billboard,
            "0 QSL_Rcvd records were cleaned\r\n\r\n1 QSL_Sent records were cleaned");
  EXPECT_TRUE(h.dialogs.boxes.empty());

  EXPECT_EQ(backupAtFirstWrite, before) << "the newest backup when each run began to write";
  const std::vector<std::string> backups = logdb::BackupsOf(log.Path());
  ASSERT_EQ(backups.size(), 3u);
  for (std::size_t i = 0; i < backups.size(); ++i) {
    EXPECT_EQ(Content(backups[i]), before[i]) << backups[i];
  }
  std::set<std::string> expected{fs::path(log.Path()).filename().string(),
                                 fs::path(olderZorviks).filename().string()};
  for (const std::string& backup : backups) expected.insert(fs::path(backup).filename().string());
  EXPECT_EQ(FilesIn(log.Folder()), expected);
  std::ifstream kept(olderZorviks);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "an older Zorvik's backup");
}

// The names carry the run's date and time; the newest five stay, whatever order the runs' times
// came in, and the copy just made always stays.
TEST_F(LogBackup, TheNewestFiveStayAndTheNamesTellTheRunsApart) {
  using namespace std::chrono;
  const sys_seconds t0 = sys_days{2026y / December / 8} + 20h + 15min;
  std::unique_ptr<logdb::Database> db = logdb::Database::Open(log.Path());
  // What the tests expect is written in the machine's own time zone, as the names are.
  const auto name = [&](sys_seconds t, const char* number = "") {
    return fs::path(logdb::BackupPathFor(log.Path(), t)).filename().string() + number;
  };
  const auto names = [&] {
    std::vector<std::string> found;
    for (const std::string& b : logdb::BackupsOf(log.Path())) {
      found.push_back(fs::path(b).filename().string());
    }
    return found;
  };
  ASSERT_EQ(name(t0).substr(name(t0).size() - 30, 15), ".zorvik-backup-");
  ASSERT_EQ(name(t0).size(), fs::path(log.Path()).filename().string().size() + 30);

  struct Run {
    sys_seconds when;
    std::vector<std::string> after;
  };
  const Run runs[] = {
      {t0, {name(t0)}},
      {t0, {name(t0), name(t0, "-2")}},
      {t0 + 1s, {name(t0), name(t0, "-2"), name(t0 + 1s)}},
      {t0 + 24h, {name(t0), name(t0, "-2"), name(t0 + 1s), name(t0 + 24h)}},
      {t0 + 48h, {name(t0), name(t0, "-2"), name(t0 + 1s), name(t0 + 24h), name(t0 + 48h)}},
      {t0 + 72h, {name(t0, "-2"), name(t0 + 1s), name(t0 + 24h), name(t0 + 48h), name(t0 + 72h)}},
      // The clock set back a day: the new copy stays, the oldest of the others goes.
      {t0 - 24h, {name(t0 - 24h), name(t0 + 24h), name(t0 + 48h), name(t0 + 72h), name(t0 + 1s)}},
  };
  int number = 0;
  for (const Run& run : runs) {
    SCOPED_TRACE("run " + std::to_string(++number));
    const std::string made = logdb::BackUpBeforeWriting(*db, run.when);
    std::vector<std::string> expected = run.after;
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> found = names();
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, expected);
    EXPECT_EQ(Content(made), Content(log.Path()));
  }
  EXPECT_EQ(FilesIn(log.Folder()).size(), 1u + logdb::kBackupsKept);
}

TEST_F(LogBackup, ACopyThatCannotBeMadeLeavesTheLogAndTheOlderBackupsAsTheyWereWithOneBox) {
  using namespace std::chrono;
  std::unique_ptr<logdb::Database> db = logdb::Database::Open(log.Path());
  const auto now = time_point_cast<seconds>(system_clock::now());
  // As many as are kept: a failed run that removed one before its own copy was made would show.
  std::vector<std::string> older;
  for (int day = logdb::kBackupsKept; day > 0; --day) {
    older.push_back(logdb::BackUpBeforeWriting(*db, now - day * 24h));
  }
  db.reset();
  backupAtFirstWrite.clear();
  const std::set<std::string> filesBefore = FilesIn(log.Folder());

  // The copy is made under its own name first; a folder of that name stops it. The name holds
  // the time of the run, so the folders cover every second the run may fall in.
  std::vector<fs::path> inTheWay;
  for (int s = -2; s <= 30; ++s) {
    inTheWay.push_back(logdb::BackupPathFor(log.Path(), now + seconds(s)) + "-new");
  }
#ifndef _WIN32
  rlimit savedLimit{};
  getrlimit(RLIMIT_FSIZE, &savedLimit);
#endif
  struct Block {
    const char* what;
    std::function<void()> apply, undo;
  };
  const Block blocks[] = {
      {"a folder where the copy is made",
       [&] {
         for (const fs::path& p : inTheWay) fs::create_directory(p);
       },
       [&] {
         for (const fs::path& p : inTheWay) fs::remove(p);
       }},
      {"a read-only folder",
       [&] { fs::permissions(log.Folder(), fs::perms::owner_write, fs::perm_options::remove); },
       [&] { fs::permissions(log.Folder(), fs::perms::owner_write, fs::perm_options::add); }},
#ifndef _WIN32
      // The copy stops half-way, as on a full disk (root too is held to a file size limit).
      {"a copy cut off half-way",
       [&] {
         std::signal(SIGXFSZ, SIG_IGN);
         rlimit small{4096, savedLimit.rlim_max};
         setrlimit(RLIMIT_FSIZE, &small);
       },
       [&] { setrlimit(RLIMIT_FSIZE, &savedLimit); }},
#endif
  };
  struct Action {
    const char* what;
    void (*run)(logdb::AppContext&);
    std::string boxStart;
  };
  const Action actions[] = {
      {"Add", &LoadQslQueue, "Error code: 75\r\nDescription: "},
      {"Log Clean", &CleanLog, "75 : "},
  };
  // A folder that is read-only only by its permission bits still takes files from root, and on
  // Windows: there that block proves nothing and is passed over.
  const auto folderTakesFiles = [&] {
    const fs::path probe = fs::path(log.Folder()) / "probe";
    const bool written = static_cast<bool>(std::ofstream(probe));
    std::error_code ignored;
    fs::remove(probe, ignored);
    return written;
  };
  for (const Block& block : blocks) {
    block.apply();
    const bool blocksWrites =
        std::string(block.what) != "a read-only folder" || !folderTakesFiles();
    block.undo();
    if (!blocksWrites) continue;
    for (const Action& action : actions) {
      SCOPED_TRACE(std::string(action.what) + " with " + block.what);
      const std::string before = Content(log.Path());
      std::vector<std::string> olderContent;
      for (const std::string& b : older) olderContent.push_back(Content(b));
      Harness h(log.Path());
      h.view.billboard = "as it was";
      block.apply();
      action.run(h.ctx);
      block.undo();
      ASSERT_EQ(h.dialogs.boxes.size(), 1u);
      EXPECT_EQ(h.dialogs.boxes[0].text.rfind(action.boxStart, 0), 0u) << h.dialogs.boxes[0].text;
      EXPECT_NE(h.dialogs.boxes[0].text.find(log.Path() + ".zorvik-backup-"), std::string::npos)
          << h.dialogs.boxes[0].text;
      EXPECT_EQ(Content(log.Path()), before);
      EXPECT_TRUE(backupAtFirstWrite.empty()) << "nothing may be written";
      EXPECT_EQ(FilesIn(log.Folder()), filesBefore) << "no new backup, no half copy, none gone";
      for (std::size_t i = 0; i < older.size(); ++i) {
        EXPECT_EQ(Content(older[i]), olderContent[i]) << older[i];
      }
      if (action.run == &LoadQslQueue) {
        EXPECT_EQ(h.dde.journal, (std::vector<std::string>{"001closelog", "001openlastlog"}));
        EXPECT_EQ(h.view.billboard, "0 QSO records were loaded into the QSL queue.");
      } else {
        EXPECT_EQ(h.view.billboard, "as it was");
      }
    }
  }
}

TEST(LogBackupSqlite, SqliteLogsAreNotCopied) {
  ScratchLog log;
  log.AddQso({});
  log.SetProgress("230", std::string(44, 'W'));
  Harness h(log.Path());
  LoadQslQueue(h.ctx);
  CleanLog(h.ctx);
  EXPECT_EQ(h.dialogs.boxes.size(), 0u);
  EXPECT_TRUE(logdb::BackupsOf(log.Path()).empty());
  EXPECT_EQ(FilesIn(log.Folder()), (std::set<std::string>{"log.sqlite"}));
}

}  // namespace
}  // namespace zorvik::logops_test
