// The running check and the commands over the real Windows link, against the test host.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <memory>
#include <type_traits>

#include "MonitorOverDde.h"
#include "TestHostProcess.h"

namespace zorvik::testing {
namespace {

TEST(HostMonitorOverDde, TheRunningCheckReadsDdeCommand) {
  struct Case {
    std::vector<std::wstring> host;  // empty: no host at all
    bool running;
    const char* caption;
  } cases[] = {
      {{L"DDECommand=ready"}, true, "Zorvik 1.4.2 - (DXKeeper Running)"},
      {{L"DDECommand="}, false, "Zorvik 1.4.2 - (DXKeeper Closed)"},
      {{}, false, "Zorvik 1.4.2 - (DXKeeper Closed)"},
  };
  for (const auto& c : cases) {
    std::unique_ptr<TestHostProcess> host;
    if (!c.host.empty()) host = std::make_unique<TestHostProcess>(c.host);
    MonitorOverDde m;
    host::CheckHostRunning(m.ctx);
    EXPECT_EQ(c.running, m.mod.HostRunning) << c.caption;
    EXPECT_EQ(std::vector<std::string>{c.caption}, m.view.captions);
    EXPECT_TRUE(m.dialogs.boxes.empty()) << c.caption;
  }
}

// Zorvik's window lives on the thread that calls the link. DDE's search for a server sends to
// every top-level window in the system, that one too, and waits for each answer: the link must
// let its caller answer while it waits, or every check ends in a timeout (286).
TEST(HostMonitorOverDde, TheCallersOwnWindowDoesNotHoldUpTheLink) {
  TestHostProcess host({L"DDECommand=ready"});
  const std::unique_ptr<std::remove_pointer_t<HWND>, decltype(&DestroyWindow)> window(
      CreateWindowExW(0, L"STATIC", L"Zorvik", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                      nullptr, nullptr, nullptr, nullptr),
      &DestroyWindow);
  ASSERT_NE(nullptr, window.get());
  MonitorOverDde m;
  host::CheckHostRunning(m.ctx);
  host::SendHostCommand(m.ctx, "closelog");
  EXPECT_TRUE(m.mod.HostRunning);
  EXPECT_TRUE(m.dialogs.boxes.empty()) << m.dialogs.boxes[0].text;
  EXPECT_EQ(std::vector<std::string>{"001closelog"}, host.Journal());
}

TEST(HostMonitorOverDde, CommandsAreSentWithTheirPrefixAndExpectedRefusalsStaySilent) {
  {
    TestHostProcess host({L"DDECommand=ready"});
    MonitorOverDde m;
    host::CheckHostRunning(m.ctx);
    host::SendHostCommand(m.ctx, "closelog");
    host::SendHostCommand(m.ctx, "openlastlog");
    EXPECT_EQ((std::vector<std::string>{"001closelog", "001openlastlog"}), host.Journal());
    EXPECT_TRUE(m.dialogs.boxes.empty());
  }
  {
    TestHostProcess host({L"--refuse-execute", L"DDECommand=ready"});
    MonitorOverDde m;
    host::CheckHostRunning(m.ctx);
    host::SendHostCommand(m.ctx, "closelog");  // 285
    EXPECT_TRUE(m.dialogs.boxes.empty());
  }
  MonitorOverDde absent;
  host::CheckHostRunning(absent.ctx);
  host::SendHostCommand(absent.ctx, "commandcomplete");  // 293
  EXPECT_TRUE(absent.dialogs.boxes.empty());
}

TEST(HostMonitorOverDde, AHungHostIsAConnectErrorThatChangesNothing) {
  {
    TestHostProcess host({L"--hang-after-connect", L"DDECommand=ready"});
    MonitorOverDde m;
    m.mod.HostStatusText = "(DXKeeper Running)";
    m.mod.HostRunning = true;
    host::CheckHostRunning(m.ctx);
    ASSERT_EQ(1u, m.dialogs.boxes.size());
    EXPECT_EQ("Connect Error", m.dialogs.boxes[0].title);
    EXPECT_EQ(0u, m.dialogs.boxes[0].text.rfind("error code: 286\r\nDescription: ", 0))
        << m.dialogs.boxes[0].text;
    EXPECT_TRUE(m.mod.HostRunning);
    EXPECT_TRUE(m.view.captions.empty());
  }
  // DDEML's clean-up of the link to the hung host may hold up DDE initiates for a while after
  // the client has gone; it must end, and a later check must again find the host absent.
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  for (;;) {
    MonitorOverDde m;
    host::CheckHostRunning(m.ctx);
    if (m.dialogs.boxes.empty()) {
      EXPECT_FALSE(m.mod.HostRunning);
      break;
    }
    ASSERT_LT(std::chrono::steady_clock::now(), end) << m.dialogs.boxes[0].text;
  }
}

}  // namespace
}  // namespace zorvik::testing
