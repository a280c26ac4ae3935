// Which slots count as already queued, end to end: the walk's decision and the update that gives
// their candidates '' must agree, with and without the indexes the log tools create, and in logs
// whose text columns lack the case-blind collation.
#include <gtest/gtest.h>

#include "Generator.h"
#include "LogFixture.h"

namespace zorvik::logops_test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

Qso Candidate(const std::string& call, const std::string& dxccid, const std::string& band,
              const std::string& mode, const std::string& end, std::optional<std::string> rcvd) {
  Qso q;
  q.call = call;
  q.dxccid = dxccid;
  q.band = band;
  q.mode = mode;
  q.begin = end;
  q.end = end;
  q.rcvd = std::move(rcvd);
  return q;
}

TEST(QueuedSlots, TheWalkAndTheUpdateAgree) {
  struct Case {
    const char* what;
    std::vector<std::string> queueRow;  // dxccid ("<null>" for Null), band, mode
    bool slotQueued;
  };
  const Case cases[] = {
      {"the same slot", {"1A", "20M", "SSB"}, true},
      {"entity code in other letter case", {"1a", "20M", "SSB"}, true},
      {"band in other letter case", {"1A", "20m", "SSB"}, false},
      {"mode in other letter case", {"1A", "20M", "ssb"}, false},
      {"another band", {"1A", "40M", "SSB"}, false},
      {"another entity", {"1B", "20M", "SSB"}, false},
      {"a queue row without band", {"1A", "<null>", "SSB"}, false},
      {"a queue row without entity stands for the code ''", {"<null>", "20M", "SSB"}, false},
  };
  for (const TextColumns columns : {TextColumns::kNoCase, TextColumns::kBinary}) {
    for (bool indexed : {false, true}) {
      for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.what) + (indexed ? ", with the tools' indexes" : "") +
                     (columns == TextColumns::kBinary ? ", columns without COLLATE NOCASE" : ""));
        ScratchLog log(columns);
        log.AddQso(Candidate("NEWEST", "1A", "20M", "SSB", "2005-03-01 00:00:00", std::nullopt));
        log.AddQso(Candidate("EMPTY", "1A", "20M", "SSB", "2005-02-01 00:00:00", ""));
        log.AddQso(Candidate("OLDEST", "1A", "20M", "SSB", "2005-01-01 00:00:00", std::nullopt));
        log.AddQso(Candidate("ELSEWHERE", "1B", "40M", "CW", "2005-01-01 00:00:00", std::nullopt));
        log.AddQueueRow("OLDCARD", "1A", "20M", "SSB");
        auto value = [](const std::string& v) {
          return v == "<null>" ? std::optional<std::string>() : std::optional<std::string>(v);
        };
        log.Exec("UPDATE PrintQueue SET dxccid = ?, band = ?, mode = ?",
                 {value(c.queueRow[0]), value(c.queueRow[1]), value(c.queueRow[2])});
        log.SetProgress("1A", BandModesWith({5}));  // 20M phone worked, not confirmed
        if (indexed) log.Exec(logtools::AddIndexSql());
        Harness h(log.Path());
        logdb::LoadQslQueue(h.ctx);
        ASSERT_TRUE(h.dialogs.boxes.empty()) << h.dialogs.boxes[0].text;
        const Rows expected =
            c.slotQueued
                ? Rows{{"NEWEST", ""}, {"EMPTY", ""}, {"OLDEST", ""}, {"ELSEWHERE", "<null>"}}
                : Rows{{"NEWEST", "R"},
                       {"EMPTY", ""},
                       {"OLDEST", "<null>"},
                       {"ELSEWHERE", "<null>"}};
        EXPECT_EQ(log.Rows("SELECT Call, QSL_Rcvd FROM QSOs ORDER BY rowid"), expected);
        EXPECT_EQ(log.Count("SELECT count(*) FROM PrintQueue"), c.slotQueued ? 1 : 2);
      }
    }
  }
}

// A "~" left behind by an older version is removed by any run, queued slots or not.
TEST(QueuedSlots, MarksOfOlderVersionsAreRemoved) {
  for (bool indexed : {false, true}) {
    SCOPED_TRACE(indexed ? "with the tools' indexes" : "without indexes");
    ScratchLog log;
    log.AddQso(Candidate("LEFTOVER", "1A", "20M", "SSB", "2005-01-01 00:00:00", "~"));
    log.AddQso(Candidate("NEW", "1A", "20M", "SSB", "2005-02-01 00:00:00", std::nullopt));
    log.SetProgress("1A", BandModesWith({5}));
    if (indexed) log.Exec(logtools::AddIndexSql());
    Harness h(log.Path());
    logdb::LoadQslQueue(h.ctx);
    EXPECT_EQ(log.Rows("SELECT Call, QSL_Rcvd FROM QSOs ORDER BY rowid"),
              (Rows{{"LEFTOVER", ""}, {"NEW", "R"}}));
  }
}

}  // namespace
}  // namespace zorvik::logops_test
