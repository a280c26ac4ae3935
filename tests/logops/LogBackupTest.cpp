// The copy of the log that Add and Log Clean make before their first write on an engine that asks
// for one. The engine here is SQLite behind a wrapper that asks for the copy, and that notes what
// the backup held when the first write began.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

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
    backupAtFirstWrite_.push_back(Content(logdb::BackupPathFor(Path())));
  }
  std::unique_ptr<logdb::SqliteDatabase> inner_;
  std::vector<std::string>& backupAtFirstWrite_;
  bool wrote_ = false;
};

class LogBackup : public ::testing::Test {
 protected:
  LogBackup() { AddOneToQueueAndOneToClean(log); }
  std::vector<std::string> backupAtFirstWrite;
  zorvik::testing::ScopedLogEngine engine{
      logdb::LogFileKind::kSqlite, [this](const std::string& path) {
        return std::make_unique<BackedUpSqlite>(path, backupAtFirstWrite);
      }};
  ScratchLog log;
  const std::string backup = logdb::BackupPathFor(log.Path());
};

TEST_F(LogBackup, EachRunCopiesTheLogAsItWasBeforeItsFirstWrite) {
  std::ofstream(backup) << "an earlier run's backup";
  const std::string beforeAdd = Content(log.Path());
  Harness h(log.Path());
  LoadQslQueue(h.ctx);
  EXPECT_TRUE(h.dialogs.boxes.empty());
  EXPECT_EQ(h.view.billboard, "1 QSO records were loaded into the QSL queue.");

  const std::string beforeClean = Content(log.Path());
  ASSERT_NE(beforeClean, beforeAdd);
  CleanLog(h.ctx);
  EXPECT_TRUE(h.dialogs.boxes.empty());
  EXPECT_EQ(h.view.billboard,
            "1 QSL_Rcvd records were cleaned\r\n\r\n1 QSL_Sent records were cleaned");

  EXPECT_EQ(backupAtFirstWrite, (std::vector<std::string>{beforeAdd, beforeClean}));
  EXPECT_EQ(Content(backup), beforeClean);
  std::set<std::string> files;
  for (const auto& entry : fs::directory_iterator(log.Folder())) {
    files.insert(entry.path().filename().string());
  }
  EXPECT_EQ(files, (std::set<std::string>{"log.sqlite", "log.sqlite.zorvik-backup"}));
}

TEST_F(LogBackup, ACopyThatCannotBeMadeLeavesTheLogAsItWasWithOneBox) {
  struct Block {
    const char* what;
    std::function<void()> apply, undo;
  };
  const Block blocks[] = {
      {"a folder where the backup goes", [&] { fs::create_directory(backup); },
       [&] { fs::remove(backup); }},
      {"a read-only folder",
       [&] { fs::permissions(log.Folder(), fs::perms::owner_write, fs::perm_options::remove); },
       [&] { fs::permissions(log.Folder(), fs::perms::owner_write, fs::perm_options::add); }},
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
      Harness h(log.Path());
      h.view.billboard = "as it was";
      block.apply();
      action.run(h.ctx);
      block.undo();
      ASSERT_EQ(h.dialogs.boxes.size(), 1u);
      EXPECT_EQ(h.dialogs.boxes[0].text.rfind(action.boxStart, 0), 0u) << h.dialogs.boxes[0].text;
      EXPECT_NE(h.dialogs.boxes[0].text.find(backup), std::string::npos);
      EXPECT_EQ(Content(log.Path()), before);
      EXPECT_TRUE(backupAtFirstWrite.empty()) << "nothing may be written";
      EXPECT_FALSE(fs::exists(backup + "-new"));
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
  EXPECT_FALSE(fs::exists(logdb::BackupPathFor(log.Path())));
}

}  // namespace
}  // namespace zorvik::logops_test
