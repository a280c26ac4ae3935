// dxkeeper-sim.exe as the program meets it: its settings through the registry store, its DDE
// server through the host monitor over the DDEML link, its journal and the log it holds.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <windows.h>

#include <memory>
#include <regex>
#include <string>
#include <type_traits>
#include <vector>

#include "MonitorOverDde.h"
#include "ProcessSupport.h"
#include "SimProcessOnWindows.h"
#include "core/Failure.h"
#include "host/win/RegistrySettingsStore.h"
#include "host/win/WideText.h"

namespace zorvik::testing {
namespace {

using host::win::ToUtf8;
using host::win::ToWide;

// A log of our own in the temporary folder with `queueRows` rows in PrintQueue; removed with
// the object.
class QueueLog {
 public:
  explicit QueueLog(int queueRows)
      : path_(ToUtf8(TempDirectory()) + "ZorvikSimLog-" + std::to_string(GetCurrentProcessId()) +
              ".sqlite") {
    DeleteFileW(ToWide(path_).c_str());
    Exec("CREATE TABLE PrintQueue (QSO_Number INTEGER)");
    Insert(queueRows);
  }
  ~QueueLog() {
    sqlite3_close(open_);
    DeleteFileW(ToWide(path_).c_str());
  }
  const std::string& Path() const { return path_; }

  // Runs `sql` on the log's connection, which stays open (and keeps any open transaction) until
  // Disconnect().
  void Exec(const std::string& sql) {
    if (open_ == nullptr) {
      ASSERT_EQ(SQLITE_OK, sqlite3_open(path_.c_str(), &open_));
    }
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(open_, sql.c_str(), nullptr, nullptr, nullptr))
        << sql << ": " << sqlite3_errmsg(open_);
  }
  void Insert(int rows) {
    for (int i = 0; i < rows; ++i)
      Exec("INSERT INTO PrintQueue VALUES (" + std::to_string(i) + ")");
  }
  void Disconnect() {
    sqlite3_close(open_);
    open_ = nullptr;
  }

  // True while another process has the file open: SQLite opens it shared, so asking for it
  // unshared fails then.
  bool HeldByAnother() const {
    HANDLE file =
        CreateFileW(ToWide(path_).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(file);
    return false;
  }

 private:
  std::string path_;
  sqlite3* open_ = nullptr;
};

// Each test starts without DXKeeper's settings and leaves none behind.
class DxkeeperSimOnWindows : public ::testing::Test {
 protected:
  void SetUp() override { RemoveSettings(); }
  void TearDown() override { RemoveSettings(); }
  static void RemoveSettings() {
    RegDeleteTreeW(HKEY_CURRENT_USER,
                   host::win::RegistrySettingsStore::KeyPath("DXKeeper", "Configuration").c_str());
  }
  static std::string Setting(const char* key) {
    return host::win::RegistrySettingsStore().GetSetting("DXKeeper", "Configuration", key);
  }
};

// The commands of journal lines, each checked for its time stamp; a note stays after its tab.
std::vector<std::string> Commands(const std::vector<std::string>& lines) {
  static const std::regex kLine(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}\t(.+))");
  std::vector<std::string> commands;
  for (const auto& line : lines) {
    std::smatch match;
    EXPECT_TRUE(std::regex_match(line, match, kLine)) << line;
    commands.push_back(match.size() > 1 ? match[1].str() : line);
  }
  return commands;
}

TEST_F(DxkeeperSimOnWindows, WritesTheSettingsTheRegistryStoreReads) {
  const std::string log = "C:\\Logs\\Ærø – 東京.mdb";
  {
    SimProcessOnWindows sim({"--log", log, "--call", "DL1XYZ/P"});
    ASSERT_TRUE(sim.Started());
    EXPECT_EQ(log, Setting("LogPathName"));
    EXPECT_EQ("DL1XYZ/P", Setting("CallSign"));
  }
  RemoveSettings();
  SimProcessOnWindows sim({"--log", log, "--call", "DL1XYZ/P", "--no-settings"});
  ASSERT_TRUE(sim.Started());
  EXPECT_EQ("", Setting("LogPathName"));
}

TEST_F(DxkeeperSimOnWindows, TheRunningCheckAndQslModeSeeWhatTheSimServes) {
  struct Case {
    std::vector<std::string> options;
    bool running;
    std::vector<std::string> captions;
    const char* qslMode;  // nullptr: not read
    const char* box;      // the start of the one box shown; nullptr: none
  } cases[] = {
      {{}, true, {"Zorvik 1.4.2 - (DXKeeper Running)"}, "0", nullptr},
      {{"--qslmode", "1"}, true, {"Zorvik 1.4.2 - (DXKeeper Running)"}, "1", nullptr},
      {{"--ddecommand", ""}, false, {"Zorvik 1.4.2 - (DXKeeper Closed)"}, "0", nullptr},
      {{"--mute"}, false, {}, nullptr, "error code: 286\r\n"},
  };
  for (const auto& c : cases) {
    const std::string name = c.options.empty() ? "no options" : c.options[0];
    std::vector<std::string> arguments = {"--log", "C:\\nowhere.sqlite", "--call", "K1ABC"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    SimProcessOnWindows sim(arguments);
    ASSERT_TRUE(sim.Started()) << name;
    MonitorOverDde m;
    host::CheckHostRunning(m.ctx);
    EXPECT_EQ(c.running, m.mod.HostRunning) << name;
    EXPECT_EQ(c.captions, m.view.captions) << name;
    if (c.box == nullptr) {
      EXPECT_TRUE(m.dialogs.boxes.empty()) << name;
    } else {
      ASSERT_EQ(1u, m.dialogs.boxes.size()) << name;
      EXPECT_EQ(0u, m.dialogs.boxes[0].text.rfind(c.box, 0)) << m.dialogs.boxes[0].text;
    }
    if (c.qslMode != nullptr) {
      host::SetUpHostLink(*m.dde, "QSLMode");
      EXPECT_EQ(c.qslMode, m.dde->Text()) << name;
    }
  }
}

TEST_F(DxkeeperSimOnWindows, CommandsAreJournalledInOrderAndCloseAndReopenTheLog) {
  QueueLog log(2);
  log.Disconnect();
  SimProcessOnWindows sim({"--log", log.Path(), "--call", "K1ABC"});
  ASSERT_TRUE(sim.Started());
  EXPECT_TRUE(log.HeldByAnother());

  MonitorOverDde m;
  host::CheckHostRunning(m.ctx);
  host::SendHostCommand(m.ctx, "closelog");
  EXPECT_FALSE(log.HeldByAnother());
  // Three rows committed, four more written but not committed when "openlastlog" arrives: the
  // journal counts the committed ones only.
  log.Insert(3);
  log.Exec("BEGIN");
  log.Insert(4);
  host::SendHostCommand(m.ctx, "openlastlog");
  log.Exec("ROLLBACK");
  log.Disconnect();
  EXPECT_TRUE(log.HeldByAnother());
  host::SendHostCommand(m.ctx, "commandcomplete");

  EXPECT_TRUE(m.dialogs.boxes.empty());
  EXPECT_EQ((std::vector<std::string>{"001closelog\tqueue=2", "001openlastlog\tqueue=5",
                                      "001commandcomplete\tqueue=5"}),
            Commands(sim.JournalLines()));
  EXPECT_EQ(0, sim.Stop());
}

TEST_F(DxkeeperSimOnWindows, RefusedCommandsAreJournalledAndChangeNothing) {
  QueueLog log(0);
  log.Disconnect();
  SimProcessOnWindows sim({"--log", log.Path(), "--call", "K1ABC", "--refuse", "closelog"});
  ASSERT_TRUE(sim.Started());
  MonitorOverDde m;
  host::CheckHostRunning(m.ctx);
  host::SendHostCommand(m.ctx, "closelog");  // 285, which the monitor passes over
  EXPECT_TRUE(m.dialogs.boxes.empty());
  EXPECT_TRUE(log.HeldByAnother());
  for (const char* command : {"001closelog", "001unknown", "openlastlog"}) {
    try {
      m.dde->LinkExecute(command);
      ADD_FAILURE() << command << " was not refused";
    } catch (const Failure& failure) {
      EXPECT_EQ(err::kDdeRefused, failure.Number()) << command;
    }
  }
  EXPECT_TRUE(log.HeldByAnother());
  EXPECT_EQ((std::vector<std::string>{"001closelog\tqueue=0", "001closelog\tqueue=0",
                                      "001unknown\tqueue=0", "openlastlog\tqueue=0"}),
            Commands(sim.JournalLines()));
}

// Each command is journalled with the caption the sending program showed when it arrived: the
// end-to-end run reads Zorvik's "(DXKeeper UnAvail)" there, shown while Zorvik waits for the
// answer. Hidden windows (the conversation's own) do not count; no visible window, no caption.
TEST_F(DxkeeperSimOnWindows, JournalsTheCaptionOfTheSendersWindow) {
  QueueLog log(1);
  log.Disconnect();
  SimProcessOnWindows sim({"--log", log.Path(), "--call", "K1ABC"});
  ASSERT_TRUE(sim.Started());
  MonitorOverDde m;
  host::CheckHostRunning(m.ctx);
  const auto window = [](const wchar_t* title, DWORD visible) {
    return std::unique_ptr<std::remove_pointer_t<HWND>, decltype(&DestroyWindow)>(
        CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPEDWINDOW | visible, 0, 0, 200, 100, nullptr,
                        nullptr, nullptr, nullptr),
        &DestroyWindow);
  };
  const auto hidden = window(L"hidden", 0);
  host::SendHostCommand(m.ctx, "closelog");
  const wchar_t* title = L"Zorvik 1.4.2 - (DXKeeper UnAvail) \u00c6r\u00f8";
  const auto shown = window(title, WS_VISIBLE);
  host::SendHostCommand(m.ctx, "openlastlog");

  EXPECT_TRUE(m.dialogs.boxes.empty());
  EXPECT_EQ((std::vector<std::string>{"001closelog\tqueue=1",
                                      "001openlastlog\tqueue=1\tcaption=" + ToUtf8(title)}),
            Commands(sim.JournalLines()));
}

TEST_F(DxkeeperSimOnWindows, CommandLineStartAndStop) {
  const auto help = SimProcessOnWindows::Run({"--help"});
  EXPECT_EQ(0, help.exitCode);
  for (const char* option : {"--log", "--call", "--qslmode", "--ddecommand", "--refuse",
                             "--no-settings", "--mute", "--journal", "--stop"}) {
    EXPECT_NE(std::string::npos, help.output.find(option)) << option;
  }
  struct Case {
    std::vector<std::string> arguments;
    int exitCode;
  } cases[] = {
      {{"--log", "C:\\x.sqlite"}, 2},
      {{"--call", "K1ABC"}, 2},
      {{"--log", "C:\\x.sqlite", "--call", "K1ABC", "--bogus"}, 2},
      {{"--log"}, 2},
      {{"--stop"}, 1},  // none runs
  };
  for (const auto& c : cases) {
    const auto outcome = SimProcessOnWindows::Run(c.arguments);
    EXPECT_EQ(c.exitCode, outcome.exitCode) << c.arguments[0] << ": " << outcome.output;
  }

  SimProcessOnWindows sim({"--log=C:\\x.sqlite", "--call=K1ABC"});
  ASSERT_TRUE(sim.Started());
  const auto second =
      SimProcessOnWindows::Run({"--log", "C:\\x.sqlite", "--call", "K1ABC", "--no-settings"});
  EXPECT_EQ(1, second.exitCode);
  EXPECT_NE(std::string::npos, second.output.find("already serves")) << second.output;
  EXPECT_EQ(0, sim.Stop());
  MonitorOverDde m;
  host::CheckHostRunning(m.ctx);
  EXPECT_FALSE(m.mod.HostRunning) << "the sim still serves after --stop";
}

}  // namespace
}  // namespace zorvik::testing
