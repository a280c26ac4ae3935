// The DDE text box's text, written by the program and by the automatic link from the DDE worker
// thread. What reaches the text decides whether Zorvik takes DXKeeper for running.

#include "host/win/LinkText.h"

#include <gtest/gtest.h>

#include <functional>

namespace zorvik::host::win {
namespace {

TEST(LinkText, OnlyTheLatestSetUpsConversationWritesTheText) {
  // Each row: the program had DXKeeper linked ("old" set-up, its value "ready"), then emptied the
  // text and began a new set-up; `events` is what happened next.
  struct Row {
    const char* what;
    std::function<void(LinkText&, std::uint64_t old, std::uint64_t fresh)> events;
    const char* text;
  } rows[] = {
      {"the old conversation's data arrives, then the new set-up fails",
       [](LinkText& t, auto old, auto fresh) {
         t.OnLinkData(old, "stale");
         t.SetUpFailed(fresh);
       },
       ""},
      {"the old conversation's data arrives, then the new set-up succeeds",
       [](LinkText& t, auto old, auto fresh) {
         t.OnLinkData(old, "stale");
         t.SetUpSucceeded(fresh, "again");
       },
       "again"},
      {"the new set-up fails, then the old conversation's data arrives",
       [](LinkText& t, auto old, auto fresh) {
         t.SetUpFailed(fresh);
         t.OnLinkData(old, "stale");
       },
       ""},
      {"the new conversation's link brings a value before the set-up returns its reading",
       [](LinkText& t, auto, auto fresh) {
         t.OnLinkData(fresh, "newer");
         t.SetUpSucceeded(fresh, "again");
       },
       "newer"},
      {"the new conversation's link brings a value after the set-up",
       [](LinkText& t, auto, auto fresh) {
         t.SetUpSucceeded(fresh, "again");
         t.OnLinkData(fresh, "newer");
       },
       "newer"},
      {"the new conversation ends, then its late data arrives",
       [](LinkText& t, auto, auto fresh) {
         t.SetUpSucceeded(fresh, "again");
         t.LinkEnded();
         t.OnLinkData(fresh, "late");
       },
       "again"},
  };
  for (const Row& row : rows) {
    LinkText text;
    const std::uint64_t old = text.BeginSetUp();
    text.SetUpSucceeded(old, "ready");
    ASSERT_EQ(text.Get(), "ready");
    text.Set("");
    const std::uint64_t fresh = text.BeginSetUp();
    row.events(text, old, fresh);
    EXPECT_EQ(text.Get(), row.text) << row.what;
  }
}

}  // namespace
}  // namespace zorvik::host::win
