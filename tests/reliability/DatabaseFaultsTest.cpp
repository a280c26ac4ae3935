// Database faults under the Add action: a read-only log, a log another program keeps locked, a
// log deleted or damaged after the database check, a disk that fills up, and files that are
// not DXKeeper logs. Each must end in a numbered message, with complete additions or nothing in
// the log and no "~" mark left behind.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "DriverProcess.h"
#include "FaultLogs.h"
#include "LogState.h"
#include "ui/ActionHandlers.h"
#include "ui/FakeForm.h"

namespace zorvik::reliability {
namespace {

namespace fs = std::filesystem;
using logops_test::Harness;
using logops_test::Qso;
using logops_test::ScratchLog;

constexpr int kEntities = 40;

// The Add box's number, or -1 when the box is not the Add action's "Error!" box.
int AddErrorNumber(const testing::FakeDialogs::Box& box) {
  constexpr std::string_view kPrefix = "Error code: ";
  if (box.title != "Error!" || box.flags != mb::kOkStop || box.text.rfind(kPrefix, 0) != 0)
    return -1;
  return std::stoi(box.text.substr(kPrefix.size()));
}

// After the fault is gone, an Add must finish the job: no box, every free slot queued once.
void ExpectCleanNextRun(const std::string& path, const LogState& before) {
  Harness next(path);
  logdb::LoadQslQueue(next.ctx);
  EXPECT_TRUE(next.dialogs.boxes.empty()) << ShownBoxes(next.dialogs);
  const AdditionCheck check = CheckCompleteAdditions(before, ReadLogState(path));
  EXPECT_TRUE(check.problems.empty()) << check.problems.front();
  EXPECT_EQ(check.added, kEntities);
}

TEST(DatabaseFaults, ReadOnlyLogIsReportedAndNotWritten) {
  ScratchLog log;
  FillFaultLog(log, kEntities);
  log.Disconnect();
  const LogState before = ReadLogState(log.Path());
  const std::string bytes = FileBytes(log.Path());
  fs::permissions(log.Path(),
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

  // A process of its own, so that root can give up the right to write to read-only files.
  const DriverRun run = RunAddDriver({log.Path(), "--call", "W1AW", "--drop-root"});
  ASSERT_EQ(run.exitCode, 0) << run.out;
  const auto boxes = run.Lines("box");
  ASSERT_EQ(boxes.size(), 1u) << run.out;
  EXPECT_EQ(boxes[0].rfind("Error!\t16\tError code: 3027\\r\\nDescription: ", 0), 0u) << boxes[0];
  EXPECT_EQ(run.Lines("billboard"),
            std::vector<std::string>{"0 QSO records were loaded into the QSL queue."});
  EXPECT_EQ(FileBytes(log.Path()), bytes);
  EXPECT_FALSE(fs::exists(log.Path() + "-journal"));

  fs::permissions(log.Path(), fs::perms::owner_write, fs::perm_options::add);
  ExpectCleanNextRun(log.Path(), before);
}

// Log Clean on a read-only log: the standard box with the number, no counts, the file untouched.
TEST(DatabaseFaults, ReadOnlyLogIsNotCleaned) {
  ScratchLog log;
  Qso stray;
  stray.sent = "N";
  stray.rcvd = "N";
  log.AddQso(stray);
  log.Disconnect();
  const std::string bytes = FileBytes(log.Path());
  fs::permissions(log.Path(),
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

  const DriverRun run = RunAddDriver({log.Path(), "--clean", "--drop-root"});
  ASSERT_EQ(run.exitCode, 0) << run.out;
  const auto boxes = run.Lines("box");
  ASSERT_EQ(boxes.size(), 1u) << run.out;
  EXPECT_EQ(boxes[0].rfind("Zorvik\t0\t3027 : ", 0), 0u) << boxes[0];
  EXPECT_EQ(run.Lines("billboard"), std::vector<std::string>{""});
  EXPECT_EQ(FileBytes(log.Path()), bytes);
  EXPECT_FALSE(fs::exists(log.Path() + "-journal"));
}

TEST(DatabaseFaults, WriteLockHeldByAnotherProgramThroughTheRun) {
  ScratchLog log;
  FillFaultLog(log, kEntities);
  log.Disconnect();
  const LogState before = ReadLogState(log.Path());

  // Another program in the middle of a write: readers may go on, writers must wait.
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open_v2(log.Path().c_str(), &other, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE; UPDATE QTHs SET City = City", nullptr, nullptr,
                         nullptr),
            SQLITE_OK);

  Harness h(log.Path());
  const auto start = std::chrono::steady_clock::now();
  logdb::LoadQslQueue(h.ctx);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);

  ASSERT_FALSE(h.dialogs.boxes.empty());
  EXPECT_EQ(AddErrorNumber(h.dialogs.boxes[0]), err::kLockedByOther) << ShownBoxes(h.dialogs);
  EXPECT_EQ(h.dialogs.boxes.size(), 1u) << ShownBoxes(h.dialogs);
  EXPECT_EQ(h.view.billboard, "0 QSO records were loaded into the QSL queue.");
  EXPECT_EQ(h.dde.journal, (std::vector<std::string>{"001closelog", "001openlastlog"}));
  EXPECT_LT(took.count(), 8.0);
  std::printf("write lock held through the run: the Add took %.2f s\n", took.count());
  EXPECT_EQ(ReadLogState(log.Path()), before);
  ExpectCleanNextRun(log.Path(), before);
}

// The database field was checked when it lost the focus; then the file went away or was
// damaged before OK.
TEST(DatabaseFaults, LogChangedBetweenTheCheckAndOk) {
  struct Case {
    const char* what;
    void (*damage)(const std::string& path);
    int number;  // of the Add action's box
  };
  const Case cases[] = {
      {"deleted", [](const std::string& p) { fs::remove(p); }, err::kFileNotFound},
      {"emptied", [](const std::string& p) { fs::resize_file(p, 0); }, err::kUnrecognizedFormat},
      {"cut to its first page", [](const std::string& p) { fs::resize_file(p, 4096); },
       err::kEngineError},
      {"overwritten with text",
       [](const std::string& p) { std::ofstream(p, std::ios::trunc) << std::string(9000, 'x'); },
       err::kUnrecognizedFormat},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchLog log;
    FillFaultLog(log, kEntities);
    log.Disconnect();

    Harness h(log.Path());
    testing::FakeForm form;
    form.view.databaseField = log.Path();
    form.view.startDate = "1/1/1900";
    form.view.stopDate = "12/31/2029";
    host::HostContext host{h.mod, h.dde, h.settings, h.dialogs, form, {"Zorvik", 1, 4, 2}};
    logdb::AppContext app{host, h.session};
    ui::UiContext ui{host, form, {}, "", ""};
    ui.ops.openDatabase = [](const std::string& p) { logdb::Database::Open(p); };
    ui.ops.showQueueCount = [&] { logdb::ShowQueueCount(app); };
    ui.ops.loadQslQueue = [&] { logdb::LoadQslQueue(app); };

    ui::TxtCallLostFocus(ui);
    ASSERT_TRUE(h.dialogs.boxes.empty()) << ShownBoxes(h.dialogs);
    c.damage(log.Path());
    const std::string damaged = FileBytes(log.Path());
    ui::CmdOkClick(ui);

    ASSERT_FALSE(h.dialogs.boxes.empty());
    EXPECT_EQ(AddErrorNumber(h.dialogs.boxes[0]), c.number) << ShownBoxes(h.dialogs);
    EXPECT_EQ(form.view.billboard, "0 QSO records were loaded into the QSL queue.");
    EXPECT_EQ(h.dde.journal, (std::vector<std::string>{"001closelog", "001openlastlog"}));
    EXPECT_EQ(FileBytes(log.Path()), damaged) << "the damaged file must not be written";
    EXPECT_FALSE(fs::exists(log.Path() + "-journal"));
  }
}

// SQLite's page limit stands in for a full disk: every connection opened while it is alive may
// grow its file by `headroom` pages only.
class PageLimit {
 public:
  explicit PageLimit(int headroom) {
    headroom_ = headroom;
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(&Apply));
  }
  ~PageLimit() { sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&Apply)); }
  PageLimit(const PageLimit&) = delete;
  PageLimit& operator=(const PageLimit&) = delete;

 private:
  static int Apply(sqlite3* db, const char**, const sqlite3_api_routines*) {
    sqlite3_stmt* st = nullptr;
    int pages = 0;
    if (sqlite3_prepare_v2(db, "PRAGMA page_count", -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW) {
      pages = sqlite3_column_int(st, 0);
    }
    sqlite3_finalize(st);
    const std::string limit = "PRAGMA max_page_count = " + std::to_string(pages + headroom_);
    sqlite3_exec(db, limit.c_str(), nullptr, nullptr, nullptr);
    return SQLITE_OK;
  }
  static inline int headroom_ = 0;
};

TEST(DatabaseFaults, DiskFillsDuringTheRun) {
  for (int headroom : {0, 2}) {
    SCOPED_TRACE("headroom " + std::to_string(headroom) + " pages");
    ScratchLog log;
    FillFaultLog(log, 400);
    log.Disconnect();
    const LogState before = ReadLogState(log.Path());

    Harness h(log.Path());
    {
      PageLimit full(headroom);
      logdb::LoadQslQueue(h.ctx);
    }
    // One message, not one per contact still to queue.
    ASSERT_EQ(h.dialogs.boxes.size(), 1u) << ShownBoxes(h.dialogs);
    EXPECT_EQ(h.dialogs.boxes[0].text.rfind("3026 : ", 0), 0u) << ShownBoxes(h.dialogs);
    const AdditionCheck check = CheckCompleteAdditions(before, ReadLogState(log.Path()));
    EXPECT_TRUE(check.problems.empty()) << check.problems.front();
    EXPECT_EQ(h.view.billboard,
              std::to_string(check.added) + " QSO records were loaded into the QSL queue.");
    EXPECT_EQ(IntegrityCheck(log.Path()), "ok");
  }
}

TEST(DatabaseFaults, FilesThatAreNotDxKeeperLogs) {
  struct Case {
    const char* what;
    const char* change;
    int number;
    // Text the one box must hold; a field the queue builder needs is found before any write,
    // so the file stays byte for byte as it was.
    const char* named = nullptr;
  };
  const Case cases[] = {
      {"no QTHs table", "DROP TABLE QTHs", err::kMissingTable},
      {"no PrintQueue table", "DROP TABLE PrintQueue", err::kMissingTable},
      {"queue without CONTEST_ID", "ALTER TABLE PrintQueue DROP COLUMN CONTEST_ID",
       err::kUnknownField, "PrintQueue table has no field CONTEST_ID"},
      {"contacts without QSLMsg", "ALTER TABLE QSOs DROP COLUMN QSLMsg", err::kUnknownField,
       "QSOs table has no field QSLMsg"},
      {"progress without BandModes", "ALTER TABLE Progress DROP COLUMN BandModes",
       err::kUnknownField},
      {"QTHs without Grid", "ALTER TABLE QTHs DROP COLUMN Grid", err::kUnknownField,
       "QTHs table has no field Grid"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchLog log;
    FillFaultLog(log, 3);
    log.Exec(c.change);
    log.Disconnect();
    const std::string bytes = FileBytes(log.Path());
    const bool tablesThere = c.number != err::kMissingTable;
    const LogState before = tablesThere ? ReadLogState(log.Path()) : LogState{};

    Harness h(log.Path());
    logdb::LoadQslQueue(h.ctx);
    ASSERT_FALSE(h.dialogs.boxes.empty());
    // A missing field: one message, not one per contact the run would have queued. (A missing
    // table also fails the queue count that closes every run.)
    if (c.named) {
      ASSERT_EQ(h.dialogs.boxes.size(), 1u) << ShownBoxes(h.dialogs);
    }
    EXPECT_NE(h.dialogs.boxes[0].text.find(std::to_string(c.number)), std::string::npos)
        << ShownBoxes(h.dialogs);
    if (c.named) {
      EXPECT_EQ(AddErrorNumber(h.dialogs.boxes[0]), c.number) << ShownBoxes(h.dialogs);
      EXPECT_NE(h.dialogs.boxes[0].text.find(c.named), std::string::npos) << ShownBoxes(h.dialogs);
    }
    EXPECT_EQ(h.view.billboard, "0 QSO records were loaded into the QSL queue.");
    if (tablesThere && !c.named) {
      // The queued slot's candidate may have been given ''; nothing else.
      const AdditionCheck check = CheckCompleteAdditions(before, ReadLogState(log.Path()));
      EXPECT_TRUE(check.problems.empty()) << check.problems.front();
      EXPECT_EQ(check.added, 0);
    } else {
      EXPECT_EQ(FileBytes(log.Path()), bytes) << "nothing may be written";
    }
  }
}

}  // namespace
}  // namespace zorvik::reliability
