#include "host/linux/LocalDdeClient.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <QCoreApplication>
#include <QTimer>
#include <thread>

#include "ScriptedHost.h"
#include "core/Failure.h"
#include "host/HostMonitor.h"
#include "host/Platform.h"
#include "support/FakeDialogs.h"
#include "support/FakeView.h"
#include "support/SimProcess.h"

namespace zorvik::host {
namespace {

using namespace std::chrono_literals;
using testing::SimEnvironment;
using testing::SimOptions;
using testing::SimProcess;

// The failure number a call throws, or 0.
template <typename Call>
int FailureOf(Call call) {
  try {
    call();
  } catch (const Failure& failure) {
    return failure.Number();
  }
  return 0;
}

int LinkFailure(DdeClient& dde, const std::string& item) {
  return FailureOf([&] { SetUpHostLink(dde, item); });
}

// The program's own pieces, as the window puts them together, over the real transport.
struct Program {
  ZorvikMod mod;
  std::unique_ptr<DdeClient> dde = MakeDdeClient();
  std::unique_ptr<SettingsStore> settings = MakeSettingsStore();
  testing::FakeDialogs dialogs;
  testing::FakeView view;
  HostContext ctx{mod, *dde, *settings, dialogs, view, ProgramIdentity{"Zorvik", 1, 4, 2}};
};

TEST(LocalDdeClient, RunningCheckAgainstTheRealSim) {
  const struct {
    const char* name;
    std::optional<SimOptions> sim;  // nullopt: no host at all
    bool wantRunning;
    bool wantConnectError;
  } cases[] = {
      {"host absent", std::nullopt, false, false},
      {"host up", SimOptions{}, true, false},
      {"empty DDECommand", SimOptions{.ddeCommand = ""}, false, false},
      {"hung host", SimOptions{.mute = true}, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimEnvironment env;
    std::optional<SimProcess> sim;
    if (c.sim) sim.emplace(*c.sim);
    Program program;

    const auto started = std::chrono::steady_clock::now();
    CheckHostRunning(program.ctx);
    const auto took = std::chrono::steady_clock::now() - started;

    EXPECT_EQ(program.mod.HostRunning, c.wantRunning);
    EXPECT_LT(took, 5s) << "a hung host must not hold the window";
    if (c.wantConnectError) {
      ASSERT_EQ(program.dialogs.boxes.size(), 1u);
      EXPECT_EQ(program.dialogs.boxes[0].title, "Connect Error");
      EXPECT_EQ(program.dialogs.boxes[0].text.rfind("error code: 286\r\n", 0), 0u);
      EXPECT_TRUE(program.view.captions.empty());
      EXPECT_EQ(program.mod.HostStatusText, "");
    } else {
      EXPECT_TRUE(program.dialogs.boxes.empty());
      const std::string status = c.wantRunning ? status::kRunning : status::kClosed;
      EXPECT_EQ(program.view.captions, std::vector<std::string>{"Zorvik 1.4.2 - " + status});
    }
    // Whatever the check found, closing the window afterwards shows nothing (unless the host
    // is hung, which was reported already).
    program.dialogs.boxes.clear();
    SendHostCommand(program.ctx, "commandcomplete");
    EXPECT_TRUE(program.dialogs.boxes.empty());
  }
}

TEST(LocalDdeClient, ItemsCommandsAndTheHeldLog) {
  SimEnvironment env;
  const std::string log = env.Root() + "/log.sqlite";
  ASSERT_EQ(std::system(("sqlite3 '" + log + "' 'CREATE TABLE QSOs(x)'").c_str()), 0);
  SimProcess sim({.log = log, .qslMode = "2", .refuse = {"commandcomplete"}});
  Program program;

  EXPECT_EQ(LinkFailure(*program.dde, "QSLMode"), 0);
  EXPECT_EQ(program.dde->Text(), "2");
  EXPECT_EQ(LinkFailure(*program.dde, "NoSuchItem"), err::kDdeRefused);
  EXPECT_EQ(FailureOf([&] { program.dde->LinkExecute("001closelog"); }), err::kDdeNoConversation)
      << "a failed set-up leaves no conversation";

  ASSERT_EQ(LinkFailure(*program.dde, "DDECommand"), 0);
  EXPECT_TRUE(sim.HoldsFileOpen(log));
  SendHostCommand(program.ctx, "closelog");
  EXPECT_FALSE(sim.HoldsFileOpen(log));
  SendHostCommand(program.ctx, "openlastlog");
  EXPECT_TRUE(sim.HoldsFileOpen(log));
  EXPECT_EQ(FailureOf([&] { program.dde->LinkExecute("001commandcomplete"); }), err::kDdeRefused);
  SendHostCommand(program.ctx, "commandcomplete");  // refused, and silent
  EXPECT_TRUE(program.dialogs.boxes.empty());

  EXPECT_EQ(sim.JournalCommands(),
            (std::vector<std::string>{"001closelog", "001openlastlog", "001commandcomplete",
                                      "001commandcomplete"}));
}

TEST(LocalDdeClient, HostThatQuitAfterTheSetUp) {
  SimEnvironment env;
  SimProcess sim;
  Program program;
  CheckHostRunning(program.ctx);
  ASSERT_TRUE(program.mod.HostRunning);
  EXPECT_EQ(sim.Stop(), 0);
  EXPECT_FALSE(std::filesystem::exists(env.DdeDirectory() + "/DXKeeper%7CDDEServer"))
      << "the sim removes its socket when terminated";

  EXPECT_EQ(FailureOf([&] { program.dde->LinkExecute("001commandcomplete"); }),
            err::kDdeNoConversation);
  SendHostCommand(program.ctx, "commandcomplete");
  EXPECT_TRUE(program.dialogs.boxes.empty());
}

TEST(LocalDdeClient, WorksInsideARunningEventLoop) {
  SimEnvironment env;
  SimProcess sim;
  Program program;
  QTimer::singleShot(0, [&] {
    CheckHostRunning(program.ctx);
    SendHostCommand(program.ctx, "closelog");
    QCoreApplication::quit();
  });
  QCoreApplication::exec();
  EXPECT_TRUE(program.mod.HostRunning);
  EXPECT_EQ(sim.JournalCommands(), std::vector<std::string>{"001closelog"});
}

TEST(LocalDdeClient, NoHostBehindTheSocket) {
  SimEnvironment env;
  LocalDdeClient dde;
  EXPECT_EQ(LinkFailure(dde, "DDECommand"), err::kDdeNoAnswer);

  // A socket file left by a host that died: nobody accepts.
  const std::string path = env.DdeDirectory() + "/DXKeeper%7CDDEServer";
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  path.copy(addr.sun_path, sizeof addr.sun_path - 1);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ::close(fd);
  EXPECT_EQ(LinkFailure(dde, "DDECommand"), err::kDdeNoAnswer);
  EXPECT_EQ(FailureOf([&] { dde.LinkExecute("001closelog"); }), err::kDdeNoConversation);

  // A socket folder others may write to is not trusted: a connect error, not "not running".
  ASSERT_EQ(::chmod(env.DdeDirectory().c_str(), 0777), 0);
  const int exposed = LinkFailure(dde, "DDECommand");
  EXPECT_NE(exposed, 0);
  EXPECT_NE(exposed, err::kDdeNoAnswer);
}

TEST(LocalDdeClient, MisbehavingHosts) {
  const std::string data = "DATA ready\n";
  const struct {
    const char* name;
    std::function<std::string(const std::string&)> executeReply;
    int wantExecute;
    std::string wantText;
  } cases[] = {
      {"ack", [](auto&) { return std::string("ACK\n"); }, 0, "ready"},
      {"pushed values before the reply",
       [](auto&) { return std::string("UPDATE a\nUPDATE b\nACK\n"); }, 0, "b"},
      {"late reply",
       [](auto&) {
         std::this_thread::sleep_for(800ms);
         return std::string("ACK\n");
       },
       err::kDdeTimeout, "ready"},
      {"garbage", [](auto&) { return std::string("HELLO\n"); }, 290, "ready"},
      {"bad escape", [](auto&) { return std::string("ACK \\q\n"); }, 290, "ready"},
      {"endless line", [](auto&) { return std::string(70000, 'x'); }, 290, "ready"},
      {"hang up instead of a reply", [](auto&) { return std::string("<hang up>"); },
       err::kDdeNoConversation, "ready"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimEnvironment env;
    ScriptedHost host(env.DdeDirectory() + "/DXKeeper%7CDDEServer", [&](const std::string& line) {
      return line.starts_with("ADVISE") ? data : c.executeReply(line);
    });
    LocalDdeClient dde({.replyTimeout = 400ms});
    ASSERT_EQ(LinkFailure(dde, "DDECommand"), 0);
    EXPECT_EQ(FailureOf([&] { dde.LinkExecute("001closelog"); }), c.wantExecute);
    EXPECT_EQ(dde.Text(), c.wantText);
    if (c.wantExecute != 0) {
      // The conversation is gone: a late or garbled answer can never pass for the next reply.
      EXPECT_FALSE(dde.HasConversation());
      EXPECT_EQ(FailureOf([&] { dde.LinkExecute("001openlastlog"); }), err::kDdeNoConversation);
    }
  }
}

TEST(LocalDdeClient, SetUpAgainstAHostThatDoesNotAnswerProperly) {
  const struct {
    const char* name;
    std::string adviseReply;
    int want;
  } cases[] = {
      {"hangs up at once", "<hang up>", err::kDdeNoAnswer},
      {"refuses the item", "NACK\n", err::kDdeRefused},
      {"acks instead of data", "ACK\n", err::kDdeRefused},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimEnvironment env;
    ScriptedHost host(env.DdeDirectory() + "/DXKeeper%7CDDEServer",
                      [&](const std::string&) { return c.adviseReply; });
    LocalDdeClient dde({.replyTimeout = 400ms});
    EXPECT_EQ(LinkFailure(dde, "DDECommand"), c.want);
    EXPECT_FALSE(dde.HasConversation());
  }
}

}  // namespace
}  // namespace zorvik::host
