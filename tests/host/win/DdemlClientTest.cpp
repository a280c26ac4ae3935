// The DDEML host link against a raw WM_DDE_* host in another process.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>

#include "TestHostProcess.h"
#include "core/Failure.h"
#include "host/Platform.h"
#include "host/win/DdeFailures.h"

namespace zorvik::testing {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The failure number of `call`, or 0 when it succeeds. The description goes to the test's
// output, so that an unexpected number explains itself.
template <typename Call>
int FailureOf(Call call) {
  try {
    call();
    return 0;
  } catch (const Failure& failure) {
    std::printf("    (failure %d: %s)\n", failure.Number(), failure.Description().c_str());
    return failure.Number();
  }
}

void SetUpLink(host::DdeClient& dde, const std::string& item, const std::string& topic) {
  dde.SetText("");
  dde.SetLinkTopic(topic);
  dde.SetLinkItem(item);
  dde.SetLinkMode(1);
}

int LinkFailure(host::DdeClient& dde, const std::string& item,
                const std::string& topic = "DXKeeper|DDEServer") {
  return FailureOf([&] { SetUpLink(dde, item, topic); });
}

// Polls `done` until it holds or `limit` passes.
template <typename Pred>
bool Eventually(Pred done, std::chrono::milliseconds limit = 3000ms) {
  const auto end = Clock::now() + limit;
  while (!done()) {
    if (Clock::now() > end) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

TEST(DdemlClient, WithoutHostNothingAnswersAndNoConversationIsOpen) {
  auto dde = host::MakeDdeClient();
  struct Case {
    const char* topic;
    int linkFailure;
  } cases[] = {
      {"DXKeeper|DDEServer", err::kDdeNoAnswer},
      {"NoSuchService|NoSuchTopic", err::kDdeNoAnswer},
      {"DXKeeper", host::win::dde_err::kInvalidTopic},
      {"|DDEServer", host::win::dde_err::kInvalidTopic},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.linkFailure, LinkFailure(*dde, "DDECommand", c.topic)) << c.topic;
    EXPECT_EQ("", dde->Text()) << c.topic;
    EXPECT_EQ(err::kDdeNoConversation, FailureOf([&] { dde->LinkExecute("001closelog"); }))
        << c.topic;
  }
  EXPECT_EQ(host::win::dde_err::kInvalidPropertyValue, FailureOf([&] { dde->SetLinkMode(2); }));
}

TEST(DdemlClient, LinkSetUpReadsTheItemsCurrentValue) {
  TestHostProcess host({L"DDECommand=ready", L"QSLMode=0", L"Blank=", L"Owner=Jürgen Ærø",
                        L"Long=" + std::wstring(4000, L'x')});
  ASSERT_TRUE(host.Started());
  auto dde = host::MakeDdeClient();
  struct Case {
    const char* item;
    std::string value;
    int failure;
  } cases[] = {
      {"DDECommand", "ready", 0},
      {"QSLMode", "0", 0},
      {"Blank", "", 0},
      {"Owner", "Jürgen Ærø", 0},  // Latin-1 letters survive the host's ANSI code page
      {"Long", std::string(4000, 'x'), 0},
      {"NoSuchItem", "", err::kDdeRefused},
  };
  for (const auto& c : cases) {
    dde->SetText("stale");
    EXPECT_EQ(c.failure, LinkFailure(*dde, c.item)) << c.item;
    EXPECT_EQ(c.value, dde->Text()) << c.item;
  }
}

TEST(DdemlClient, TheAutomaticLinkKeepsTheTextCurrent) {
  TestHostProcess host({L"DDECommand=ready"});
  ASSERT_TRUE(host.Started());
  auto dde = host::MakeDdeClient();
  ASSERT_EQ(0, LinkFailure(*dde, "DDECommand"));
  host.SetItem("DDECommand", "busy");
  EXPECT_TRUE(Eventually([&] { return dde->Text() == "busy"; })) << dde->Text();
}

TEST(DdemlClient, AHostThatWillNotAdviseStillGivesItsValue) {
  TestHostProcess host({L"--no-advise", L"QSLMode=1"});
  ASSERT_TRUE(host.Started());
  auto dde = host::MakeDdeClient();
  EXPECT_EQ(0, LinkFailure(*dde, "QSLMode"));
  EXPECT_EQ("1", dde->Text());
}

TEST(DdemlClient, ExecutesReachTheHostInOrderOnTheLastSetUpsConversation) {
  TestHostProcess host({L"DDECommand=ready", L"QSLMode=0"});
  ASSERT_TRUE(host.Started());
  auto dde = host::MakeDdeClient();
  ASSERT_EQ(0, LinkFailure(*dde, "DDECommand"));
  dde->LinkExecute("001closelog");
  ASSERT_EQ(0, LinkFailure(*dde, "QSLMode"));  // a new set-up replaces the conversation
  dde->LinkExecute("001openlastlog");
  dde->LinkExecute("001commandcomplete");
  EXPECT_EQ((std::vector<std::string>{"001closelog", "001openlastlog", "001commandcomplete"}),
            host.Journal());

  dde->SetLinkMode(0);
  EXPECT_EQ(err::kDdeNoConversation, FailureOf([&] { dde->LinkExecute("001closelog"); }));
  EXPECT_EQ(3u, host.Journal().size());
}

TEST(DdemlClient, ARefusingOrBusyHostFailsTheExecuteWith285AndKeepsTheConversation) {
  for (const char* option : {"--refuse-execute", "--busy"}) {
    TestHostProcess host({std::wstring(option, option + std::strlen(option)), L"DDECommand=ready"});
    ASSERT_TRUE(host.Started());
    auto dde = host::MakeDdeClient();
    ASSERT_EQ(0, LinkFailure(*dde, "DDECommand"));
    for (int attempt = 0; attempt < 2; ++attempt) {
      EXPECT_EQ(err::kDdeRefused, FailureOf([&] { dde->LinkExecute("001closelog"); }))
          << option << " attempt " << attempt;
    }
    EXPECT_TRUE(host.Journal().empty());
  }
}

TEST(DdemlClient, AHostThatQuitsMidConversationLeavesNoConversation) {
  for (bool polite : {true, false}) {
    SCOPED_TRACE(polite ? "host quits" : "host is killed");
    auto host = std::make_unique<TestHostProcess>(std::vector<std::wstring>{L"DDECommand=ready"});
    ASSERT_TRUE(host->Started());
    auto dde = host::MakeDdeClient();
    ASSERT_EQ(0, LinkFailure(*dde, "DDECommand"));
    polite ? host->Quit() : host->Kill();
    EXPECT_EQ(err::kDdeNoConversation, FailureOf([&] { dde->LinkExecute("001commandcomplete"); }));
    EXPECT_EQ(err::kDdeNoAnswer, LinkFailure(*dde, "DDECommand"));

    // DXKeeper started again: the same client links to it.
    host = std::make_unique<TestHostProcess>(std::vector<std::wstring>{L"DDECommand=again"});
    ASSERT_TRUE(host->Started());
    EXPECT_EQ(0, LinkFailure(*dde, "DDECommand"));
    EXPECT_EQ("again", dde->Text());
  }
}

TEST(DdemlClient, ASetUpThatFailsHalfwayGivesTheNumberOfWhatWentWrong) {
  struct Case {
    const wchar_t* option;
    int failure;
  } cases[] = {
      {L"--hang-on-advise", err::kDdeTimeout},
      {L"--quit-after-connect", host::win::dde_err::kHostQuit},
      {L"--quit-on-advise", host::win::dde_err::kHostQuit},
  };
  for (const auto& c : cases) {
    TestHostProcess host({c.option, L"DDECommand=ready"});
    ASSERT_TRUE(host.Started());
    auto dde = host::MakeDdeClient();
    EXPECT_EQ(c.failure, LinkFailure(*dde, "DDECommand")) << c.option;
    // The item's value was read before the link failed; a failed set-up shows none of it.
    EXPECT_EQ("", dde->Text()) << c.option;
    EXPECT_EQ(err::kDdeNoConversation, FailureOf([&] { dde->LinkExecute("001closelog"); }))
        << c.option;
    host.Kill();
  }
}

TEST(DdemlClient, DataOfAReplacedConversationNeverReachesTheText) {
  TestHostProcess host({L"DDECommand=ready"});
  ASSERT_TRUE(host.Started());
  auto dde = host::MakeDdeClient();
  ASSERT_EQ(0, LinkFailure(*dde, "DDECommand"));
  // The text is emptied for a new set-up; before the set-up the old conversation brings a new
  // value and its host quits. The set-up finds nobody, and the text must stay empty.
  dde->SetText("");
  host.SetItem("DDECommand", "stale");
  host.Quit();
  dde->SetLinkTopic("DXKeeper|DDEServer");
  dde->SetLinkItem("DDECommand");
  EXPECT_EQ(err::kDdeNoAnswer, FailureOf([&] { dde->SetLinkMode(1); }));
  EXPECT_EQ("", dde->Text());
}

TEST(DdemlClient, AHungHostCostsABoundedWaitAndTheLinkRecoversWhenItIsGone) {
  auto hung = std::make_unique<TestHostProcess>(
      std::vector<std::wstring>{L"--hang-after-connect", L"DDECommand=ready"});
  ASSERT_TRUE(hung->Started());
  auto dde = host::MakeDdeClient();

  // The host answers the initiate and then never again; a second set-up finds its window hung
  // as well, which would block every DDE initiate in the session without the bound.
  for (int attempt = 0; attempt < 2; ++attempt) {
    const auto start = Clock::now();
    EXPECT_EQ(err::kDdeTimeout, LinkFailure(*dde, "DDECommand")) << attempt;
    EXPECT_LT(Clock::now() - start, 6s) << attempt;
    EXPECT_EQ(err::kDdeNoConversation, FailureOf([&] { dde->LinkExecute("001closelog"); }));
  }

  hung->Kill();
  TestHostProcess healthy({L"DDECommand=ready"});
  ASSERT_TRUE(healthy.Started());
  // The worker may still be finishing the hung calls; the client recovers on its own.
  EXPECT_TRUE(Eventually([&] { return LinkFailure(*dde, "DDECommand") == 0; }, 30s));
  EXPECT_EQ("ready", dde->Text());
  dde->LinkExecute("001closelog");
  EXPECT_EQ(std::vector<std::string>{"001closelog"}, healthy.Journal());
}

}  // namespace
}  // namespace zorvik::testing
