// The Add action end to end on real logs, with fake window, dialogs and DXKeeper.
#include <gtest/gtest.h>

#include <cctype>
#include <set>
#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstring>

#include "LogFixture.h"
#include "support/JetDateText.h"

namespace zorvik::logops_test {
namespace {

using logdb::LoadQslQueue;
using Rows = std::vector<std::vector<std::string>>;

std::string Loaded(int n) {
  return std::to_string(n) + " QSO records were loaded into the QSL queue.";
}

Qso Contact(const std::string& call, const std::string& dxccid, std::optional<std::string> band,
            std::optional<std::string> mode, const std::string& end) {
  Qso q;
  q.call = call;
  q.dxccid = dxccid;
  q.band = std::move(band);
  q.mode = std::move(mode);
  q.begin = end;
  q.end = end;
  return q;
}

// What every finished run leaves: DXKeeper has its log back, the count is shown, nothing marked.
void ExpectFinished(Harness& h, ScratchLog& log, int loaded) {
  EXPECT_EQ(h.view.billboard, Loaded(loaded));
  EXPECT_EQ(h.dde.journal, (std::vector<std::string>{"001closelog", "001openlastlog"}));
  EXPECT_FALSE(h.mod.HostLogClosed);
  EXPECT_EQ(h.mod.HostStatusText, status::kRunning);
  EXPECT_TRUE(h.view.addSelected);
  EXPECT_EQ(h.dialogs.beeps, 1);
  EXPECT_EQ(h.view.queueCount, log.Text("SELECT count(*) FROM PrintQueue"));
  EXPECT_EQ(log.Count("SELECT count(*) FROM QSOs WHERE QSL_Rcvd = '~'"), 0);
  EXPECT_EQ(h.view.busyDepth, 0);
  EXPECT_EQ(h.session.QsoSet, nullptr);
  EXPECT_EQ(h.session.QueueSet, nullptr);
}

TEST(LoadQslQueue, WorkedExample) {
  ScratchLog log;
  log.AddQueueRow("VK9AA", "100", "20M", "SSB");
  const auto q1 = log.AddQso(Contact("Q1", "100", "20M", "SSB", "2004-05-10 10:00:00"));
  const auto q2 = log.AddQso(Contact("Q2", "100", "20M", "SSB", "2003-01-10 10:00:00"));
  const auto q3 = log.AddQso(Contact("Q3", "100", "40M", "CW", "2004-02-10 10:00:00"));
  const auto q4 = log.AddQso(Contact("Q4", "100", "40M", "RTTY", "2004-02-11 10:00:00"));
  const auto q5 = log.AddQso(Contact("Q5", "7", "60M", "SSB", "2004-02-12 10:00:00"));
  log.SetProgress("100", BandModesWith({5, 14}, 'C'));
  log.SetProgress("7", std::string(44, 'W'));
  Harness h(log.Path());

  LoadQslQueue(h.ctx);

  EXPECT_TRUE(h.dialogs.boxes.empty());
  ExpectFinished(h, log, 1);
  EXPECT_EQ(h.view.queueCount, "2");
  const Rows rcvd = log.Rows("SELECT rowid, QSL_Rcvd FROM QSOs ORDER BY rowid");
  EXPECT_EQ(rcvd, (Rows{{std::to_string(q1), ""},
                        {std::to_string(q2), ""},
                        {std::to_string(q3), "R"},
                        {std::to_string(q4), "<null>"},
                        {std::to_string(q5), "<null>"}}));
  EXPECT_EQ(log.Rows("SELECT Call, dxccid, band, mode FROM PrintQueue ORDER BY rowid"),
            (Rows{{"VK9AA", "100", "20M", "SSB"}, {"Q3", "100", "40M", "CW"}}));
  // Running (pre-run check), UnAvail (log released), Running (log back).
  ASSERT_GE(h.view.captions.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(h.view.captions.end() - 3, h.view.captions.end()),
            (std::vector<std::string>{"Zorvik 1.4.2 - (DXKeeper Running)",
                                      "Zorvik 1.4.2 - (DXKeeper UnAvail)",
                                      "Zorvik 1.4.2 - (DXKeeper Running)"}));
  EXPECT_EQ(h.view.busyCount, 1);
}

// Which contacts of a small log get queued, each case on a fresh log.
TEST(LoadQslQueue, WhichContactsAreQueued) {
  struct Case {
    const char* what;
    std::vector<Qso> contacts;
    std::vector<std::vector<std::string>> queue;  // call, dxccid, band, mode
    bool allOperators;
    std::vector<std::string> queuedCalls;  // the new queue rows, in order
  };
  Qso otherOp = Contact("OTHEROP", "230", "20M", "SSB", "2005-01-01 00:00:00");
  otherOp.op = "K2XX";
  Qso nullRcvd = Contact("NULLRCVD", "230", "20M", "SSB", "2005-01-01 00:00:00");
  Qso emptyRcvd = Contact("EMPTYRCVD", "230", "20M", "CW", "2005-01-01 00:00:00");
  emptyRcvd.rcvd = "";
  Qso sent = Contact("SENT", "230", "20M", "SSB", "2006-01-01 00:00:00");
  sent.sent = "Y";
  const Case cases[] = {
      {"only the latest contact of a slot",
       {Contact("OLD", "230", "20M", "SSB", "2003-01-01 00:00:00"),
        Contact("NEW", "230", "20M", "SSB", "2005-01-01 00:00:00"),
        Contact("MID", "230", "20M", "SSB", "2004-01-01 00:00:00")},
       {},
       false,
       {"NEW"}},
      {"SSB and AM share a status character but are two slots",
       {Contact("PHONE", "230", "20M", "SSB", "2005-01-01 00:00:00"),
        Contact("AMFAN", "230", "20M", "AM", "2004-01-01 00:00:00")},
       {},
       false,
       {"AMFAN", "PHONE"}},
      {"a queued mode differing only in case is another slot",
       {Contact("PHONE", "230", "20M", "SSB", "2005-01-01 00:00:00")},
       {{"OLDCARD", "230", "20M", "ssb"}},
       false,
       {"PHONE"}},
      {"a queued slot is not queued again",
       {Contact("PHONE", "230", "20M", "SSB", "2005-01-01 00:00:00")},
       {{"OLDCARD", "230", "20M", "SSB"}},
       false,
       {}},
      {"other operators are out unless all count", {otherOp}, {}, false, {}},
      {"other operators count when all do", {otherOp}, {}, true, {"OTHEROP"}},
      {"Null and empty QSL_Rcvd alike",
       {nullRcvd, emptyRcvd},
       {},
       false,
       {"EMPTYRCVD", "NULLRCVD"}},
      {"a sent QSL is no candidate", {sent}, {}, false, {}},
      {"bands outside the table, unknown entities, C slots",
       {Contact("SIXTY", "230", "60M", "SSB", "2005-01-01 00:00:00"),
        Contact("NOROW", "999", "20M", "SSB", "2005-01-01 00:00:00"),
        Contact("CONF", "230", "40M", "SSB", "2005-01-01 00:00:00"),
        Contact("LOWER", "230", "20m", "CW", "2005-01-01 00:00:00")},
       {},
       false,
       {}},
      {"entities 1 on 12M and 11 on 2M are two slots",
       {Contact("ONE", "1", "12M", "SSB", "2005-01-01 00:00:00"),
        Contact("ELEVEN", "11", "2M", "SSB", "2005-01-01 00:00:00")},
       {},
       false,
       {"ONE", "ELEVEN"}},
      {"apostrophes in entity codes are plain text",
       {Contact("QUOTE", "1'1", "20M", "SSB", "2005-01-01 00:00:00")},
       {{"QQ", "1'1", "20M", "CW"}},
       false,
       {"QUOTE"}},
      {"outside the date range",
       {Contact("ANCIENT", "230", "20M", "SSB", "1899-12-31 23:00:00"),
        Contact("FUTURE", "230", "20M", "CW", "2030-01-01 00:00:01")},
       {},
       false,
       {}},
  };
  for (const Case& c : cases) {
    ScratchLog log;
    for (const Qso& q : c.contacts) log.AddQso(q);
    for (const auto& r : c.queue) log.AddQueueRow(r[0], r[1], r[2], r[3]);
    // 20M in every group, 12M and 2M on phone; 40M phone is confirmed.
    for (const char* code : {"230", "1", "11", "1'1"}) {
      log.SetProgress(code, BandModesWith({5, 8, 11, 16, 27, 38}, '-'));
    }
    log.Exec(
        "UPDATE Progress SET BandModes = substr(BandModes, 1, 2) || 'C' || "
        "substr(BandModes, 4) WHERE CountryCode = '230'");
    Harness h(log.Path());
    h.view.allOperators = c.allOperators;
    LoadQslQueue(h.ctx);
    EXPECT_TRUE(h.dialogs.boxes.empty()) << c.what << ": " << h.dialogs.boxes[0].text;
    std::vector<std::string> queued;
    for (const auto& row : log.Rows("SELECT Call FROM PrintQueue WHERE rowid > " +
                                    std::to_string(c.queue.size()) + " ORDER BY rowid")) {
      queued.push_back(row[0]);
    }
    EXPECT_EQ(queued, c.queuedCalls) << c.what;
    EXPECT_EQ(h.view.billboard, Loaded(static_cast<int>(c.queuedCalls.size()))) << c.what;
    EXPECT_EQ(log.Count("SELECT count(*) FROM QSOs WHERE QSL_Rcvd = '~'"), 0) << c.what;
    EXPECT_EQ(log.Count("SELECT count(*) FROM QSOs WHERE QSL_Rcvd = 'R'"),
              static_cast<std::int64_t>(c.queuedCalls.size()))
        << c.what;
  }
}

TEST(LoadQslQueue, RunsThatChangeNothing) {
  struct Case {
    const char* what;
    std::string qslMode;
    bool otherLogSelected;
    bool expectQslMessage;
  };
  const Case cases[] = {
      {"QSL mode 1", "1", false, true},
      {"QSL mode blank", " ", false, true},
      {"QSL mode empty", "", false, true},
      {"caution prompt answered No", "0", true, false},
  };
  for (const Case& c : cases) {
    ScratchLog log;
    log.AddQso({});
    log.SetProgress("230", std::string(44, 'W'));
    const std::string before = log.Dump();
    Harness h(log.Path());
    h.dde.items["QSLMode"] = c.qslMode;
    if (c.otherLogSelected) h.settings.Set("LogPathName", log.Path() + ".other");
    h.view.billboard = "untouched";
    LoadQslQueue(h.ctx);
    ASSERT_EQ(h.dialogs.boxes.size(), 1u) << c.what;
    if (c.expectQslMessage) {
      EXPECT_EQ(h.dialogs.boxes[0].text,
                "DXKeeper must be in 'QSL via Cards' mode for this function to work.\r\n"
                "           Please select the 'QSL via Cards' mode to continue.")
          << c.what;
      EXPECT_EQ(h.dialogs.boxes[0].flags, mb::kOkOnly) << c.what;
    } else {
      EXPECT_EQ(h.dialogs.boxes[0].flags, mb::kYesNoStopDefaultNo) << c.what;
    }
    EXPECT_TRUE(h.dde.journal.empty()) << c.what;
    EXPECT_EQ(h.view.billboard, "untouched") << c.what;
    EXPECT_EQ(h.dialogs.beeps, 0) << c.what;
    EXPECT_EQ(h.session.LogDb, nullptr) << c.what;
    EXPECT_EQ(log.Dump(), before) << c.what;
  }
}

TEST(LoadQslQueue, EmptyCandidateSetFinishesSilently) {
  ScratchLog log;
  log.SetProgress("230", std::string(44, 'W'));
  Harness h(log.Path());
  LoadQslQueue(h.ctx);
  EXPECT_TRUE(h.dialogs.boxes.empty());
  ExpectFinished(h, log, 0);
  EXPECT_EQ(h.view.queueCount, "0");
}

TEST(LoadQslQueue, DxKeeperNotRunningFinishesWithoutCommands) {
  ScratchLog log;
  log.AddQso({});
  log.SetProgress("230", std::string(44, 'W'));
  const std::string before = log.Dump();
  Harness h(log.Path());
  h.dde.running = false;
  LoadQslQueue(h.ctx);
  EXPECT_TRUE(h.dialogs.boxes.empty());
  EXPECT_TRUE(h.dde.journal.empty());
  EXPECT_EQ(h.view.billboard, Loaded(0));
  EXPECT_EQ(h.dialogs.beeps, 1);
  EXPECT_EQ(log.Dump(), before);
}

// DXKeeper looks not running (an empty DDECommand) yet answers the QSL mode link: the run goes on
// and loads, but it never asked DXKeeper to close its log, so it sends no command at all.
TEST(LoadQslQueue, NoHostCommandsWhenDxKeeperLooksNotRunning) {
  ScratchLog log;
  log.AddQso({});
  log.SetProgress("230", std::string(44, 'W'));
  Harness h(log.Path());
  h.dde.items["DDECommand"] = "";
  LoadQslQueue(h.ctx);
  EXPECT_TRUE(h.dialogs.boxes.empty());
  EXPECT_TRUE(h.dde.journal.empty());
  EXPECT_FALSE(h.mod.HostRunning);
  EXPECT_EQ(h.view.billboard, Loaded(1));
  EXPECT_EQ(log.Count("SELECT count(*) FROM PrintQueue"), 1);
}

TEST(LoadQslQueue, CountsOnlyRowsReallyAdded) {
  ScratchLog log;
  log.AddQso(Contact("DL1XX", "230", "20M", "SSB", "2004-05-01 12:00:00"));
  // The same contact is queued already, under a band spelled in lower case: its slot counts as
  // free, but the builder finds the contact and adds nothing.
  log.AddQueueRow("DL1XX", "230", "20m", "SSB", 14.2, "2004-05-01 12:00:00");
  log.SetProgress("230", std::string(44, 'W'));
  Harness h(log.Path());
  LoadQslQueue(h.ctx);
  EXPECT_TRUE(h.dialogs.boxes.empty());
  ExpectFinished(h, log, 0);
  EXPECT_EQ(log.Count("SELECT count(*) FROM PrintQueue"), 1);
}

TEST(LoadQslQueue, CountsAreNotSixteenBits) {
  ScratchLog log;
  // 33,000 candidates of entity 230 on 20M CW, the latest queued already; 33,000 more queue
  // rows of other calls; and one free slot, 20M SSB.
  log.Exec(
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 33000) "
      "INSERT INTO QSOs (Call, QSO_Begin, QSO_End, Freq, Band, Mode, DXCCID, Operator) "
      "SELECT 'K' || i, datetime('2004-01-01', '+' || i || ' minutes'), "
      "datetime('2004-01-01', '+' || i || ' minutes'), 14.02, '20M', 'CW', '230', 'W1AW' FROM n");
  log.Exec(
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 33000) "
      "INSERT INTO PrintQueue (Call, dxccid, band, mode) SELECT 'X' || i, '1', '20M', 'CW' FROM n");
  log.AddQueueRow("K33000", "230", "20M", "CW", 14.02, "2004-01-23 22:00:00");
  log.AddQso(Contact("PHONE", "230", "20M", "SSB", "2004-02-01 00:00:00"));
  log.SetProgress("230", std::string(44, 'W'));
  Harness h(log.Path());
  LoadQslQueue(h.ctx);
  EXPECT_TRUE(h.dialogs.boxes.empty()) << h.dialogs.boxes[0].text;
  ExpectFinished(h, log, 1);
  EXPECT_EQ(h.view.queueCount, "33002");
  EXPECT_EQ(log.Text("SELECT Call FROM PrintQueue ORDER BY rowid DESC LIMIT 1"), "PHONE");
  // Every CW candidate was marked and unmarked again: empty, not Null.
  EXPECT_EQ(log.Count("SELECT count(*) FROM QSOs WHERE Mode = 'CW' AND QSL_Rcvd = ''"), 33000);
}

TEST(LoadQslQueue, AFailureKeepsCompleteAdditionsAndRemovesTheMarks) {
  ScratchLog log;
  log.AddQso(Contact("FIRST", "1", "20M", "SSB", "2005-01-01 00:00:00"));
  log.AddQso(Contact("MARKED", "1", "40M", "CW", "2005-01-01 00:00:00"));
  log.AddQso(Contact("MARKED2", "3", "40M", "CW", "2005-01-01 00:00:00"));
  log.AddQso(Contact("NOBAND", "2", std::nullopt, "SSB", "2005-01-01 00:00:00"));
  log.AddQso(Contact("NEVER", "3", "20M", "SSB", "2005-01-01 00:00:00"));
  log.AddQueueRow("OLD", "1", "40M", "CW");
  log.AddQueueRow("OLD3", "3", "40M", "CW");
  for (const char* code : {"1", "2", "3"}) log.SetProgress(code, std::string(44, 'W'));
  Harness h(log.Path());
  LoadQslQueue(h.ctx);
  ASSERT_EQ(h.dialogs.boxes.size(), 1u);
  EXPECT_EQ(h.dialogs.boxes[0].text, "Error code: 94\r\nDescription: Invalid use of Null");
  EXPECT_EQ(h.dialogs.boxes[0].flags, mb::kOkStop);
  EXPECT_EQ(h.dialogs.boxes[0].title, "Error!");
  ExpectFinished(h, log, 1);
  EXPECT_EQ(log.Rows("SELECT Call, QSL_Rcvd FROM QSOs ORDER BY rowid"),
            (Rows{{"FIRST", "R"},
                  {"MARKED", ""},
                  {"MARKED2", ""},
                  {"NOBAND", "<null>"},
                  {"NEVER", "<null>"}}));
}

// Each field of the tables the Add writes through, dropped in turn from a log with several free
// slots and a queued one: a field the run needs gives one box naming it and an untouched log,
// never one box per contact (and never a half-done run). The Add needs every field of QSOs and
// PrintQueue and the address fields of QTHs: the candidate statement names some (3061 when one is
// missing), the queue entry copies or reads the rest (3265). Only the location's own id is of no
// use to it.
TEST(LoadQslQueue, ALogMissingAFieldGetsOneBoxAndStaysAsItWas) {
  const std::set<std::string> inTheStatement = {"QSOs.QSO_End", "QSOs.QSL_Sent", "QSOs.QSL_Rcvd",
                                                "QSOs.DXCCID",  "QSOs.Band",     "QSOs.Mode",
                                                "QSOs.Operator"};
  const std::set<std::string> unused = {"QTHs.QTHID"};
  std::vector<std::pair<std::string, std::string>> fields;  // table, field
  {
    ScratchLog schema;
    for (const char* table : {"QSOs", "PrintQueue", "QTHs"}) {
      for (const auto& row :
           schema.Rows(std::string("SELECT name FROM pragma_table_info('") + table + "')")) {
        fields.emplace_back(table, row[0]);
      }
    }
  }
  ASSERT_GT(fields.size(), 70u);
  for (const auto& [table, field] : fields) {
    const std::string name = table + "." + field;
    SCOPED_TRACE(name);
    ScratchLog log;
    for (const char* code : {"1", "2", "3"}) {
      log.AddQso(Contact(std::string("F") + code, code, "20M", "SSB", "2005-01-01 00:00:00"));
      log.SetProgress(code, std::string(44, 'W'));
    }
    log.AddQso(Contact("QUEUED", "1", "40M", "CW", "2005-01-01 00:00:00"));
    log.AddQueueRow("OLD", "1", "40M", "CW");
    log.Exec("INSERT INTO QTHs (QTHID, City, Grid) VALUES ('home', 'Bonn', 'JO30')");
    log.Exec("ALTER TABLE " + table + " DROP COLUMN \"" + field + "\"");
    const std::string before = log.Dump();
    Harness h(log.Path());
    LoadQslQueue(h.ctx);
    if (unused.contains(name)) {
      EXPECT_TRUE(h.dialogs.boxes.empty()) << h.dialogs.boxes[0].text;
      ExpectFinished(h, log, 3);
      continue;
    }
    ASSERT_EQ(h.dialogs.boxes.size(), 1u) << (h.dialogs.boxes.empty() ? "no box" : "boxes");
    const auto& box = h.dialogs.boxes[0];
    EXPECT_EQ(box.title, "Error!");
    const int number =
        inTheStatement.contains(name) ? err::kStatementUnknownField : err::kUnknownField;
    EXPECT_EQ(box.text.rfind("Error code: " + std::to_string(number) + "\r\n", 0), 0u) << box.text;
    // The engine and the check spell the field their own way (DXCCPrefix, DXCCprefix).
    const auto lower = [](std::string t) {
      for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      return t;
    };
    EXPECT_NE(lower(box.text).find(lower(field)), std::string::npos) << box.text;
    EXPECT_EQ(log.Dump(), before);
    // Without QSL_Rcvd there are no marks to look for; the unchanged dump says enough.
    if (name == "QSOs.QSL_Rcvd") {
      EXPECT_EQ(h.view.billboard, Loaded(0));
    } else {
      ExpectFinished(h, log, 0);
    }
  }
}

TEST(LoadQslQueue, DateTextsCannotChangeTheStatement) {
  struct Case {
    const char* what;
    std::string start;
  };
  const Case cases[] = {
      {"not a date", "someday"},
      {"quote inside", "1/1/1900\""},
      {"injection", "1/1/2099\") Or 1=1 Or QSO_End >= DateValue(\"1/1/1900"},
  };
  for (const Case& c : cases) {
    ScratchLog log;
    log.AddQso({});
    log.SetProgress("230", std::string(44, 'W'));
    const std::string before = log.Dump();
    Harness h(log.Path());
    h.view.startDate = c.start;
    LoadQslQueue(h.ctx);
    ASSERT_EQ(h.dialogs.boxes.size(), 1u) << c.what;
    EXPECT_EQ(h.dialogs.boxes[0].title, "Error!") << c.what;
    EXPECT_EQ(h.dialogs.boxes[0].text.find("Error code: " + std::to_string(err::kSyntaxError)),
              std::string::npos)
        << c.what << ": " << h.dialogs.boxes[0].text;
    ExpectFinished(h, log, 0);
    EXPECT_EQ(log.Dump(), before) << c.what;
  }
}

TEST(LoadQslQueue, OperatorCallWithAnApostrophe) {
  ScratchLog log;
  Qso q = Contact("EI1XX", "245", "20M", "SSB", "2005-01-01 00:00:00");
  q.op = "O'NEILL";
  log.AddQso(q);
  Qso other = Contact("EI2XX", "245", "20M", "CW", "2005-01-01 00:00:00");
  other.op = "W1AW";
  log.AddQso(other);
  log.SetProgress("245", std::string(44, 'W'));
  Harness h(log.Path());
  h.mod.HostCallSign = "O'NEILL";
  LoadQslQueue(h.ctx);
  EXPECT_TRUE(h.dialogs.boxes.empty());
  EXPECT_EQ(log.Rows("SELECT Call FROM PrintQueue"), (Rows{{"EI1XX"}}));
}

// The contact's values reach its queue row as the log holds them, whatever their type: a start
// time built step by step (a hair beside the second, as date arithmetic leaves it), a Single
// frequency, a Yes/No and a Currency field (fields of those types in both tables: Zorvik must not
// care). DXKeeper matches a printed card to its contact by these values, and so does the
// duplicate check of a second Add.
TEST(LoadQslQueue, CopiedValuesPassBitForBit) {
  const double begin = 38108.0 + 12 / 24.0 + 34 / 1440.0 + 56 / 86400.0;
  const std::optional<std::string> beginText = zorvik::testing::JetDateText(begin);
  ASSERT_TRUE(beginText);
  ASSERT_NE(*beginText, "2004-05-01 12:34:56") << "the double must not be the second's own";
  ScratchLog log;
  struct Typed {
    const char* field;
    const char* type;
  };
  for (const char* table : {"QSOs", "PrintQueue"}) {
    for (const Typed& t :
         {Typed{"Freq", "Single"}, Typed{"TX_Power", "Currency"}, Typed{"SAT_MODE", "YesNo"}}) {
      log.Exec(std::string("ALTER TABLE ") + table + " DROP COLUMN " + t.field);
      log.Exec(std::string("ALTER TABLE ") + table + " ADD COLUMN " + t.field + " " + t.type);
    }
  }
  log.AddQso(Contact("JA1ZZ", "339", "20M", "SSB", "2004-05-01 12:40:00"));
  log.Exec("UPDATE QSOs SET QSO_Begin = ?, Freq = 14.074, TX_Power = 1234.5678, SAT_MODE = -1",
           {*beginText});
  log.SetProgress("339", std::string(44, 'W'));
  Harness h(log.Path());
  LoadQslQueue(h.ctx);
  EXPECT_TRUE(h.dialogs.boxes.empty()) << h.dialogs.boxes[0].text;
  ExpectFinished(h, log, 1);

  struct Copied {
    const char* queueField;
    const char* qsoField;
  };
  const Copied copies[] = {{"QSO_Begin", "QSO_Begin"}, {"Freq", "Freq"},   {"TX_Power", "TX_Power"},
                           {"SAT_MODE", "SAT_MODE"},   {"Call", "Call"},   {"mode", "Mode"},
                           {"via", "QSL_Via"},         {"Notes", "QSLMsg"}};
  for (const Copied& c : copies) {
    const auto queued = log.StoredValue(std::string("SELECT ") + c.queueField + " FROM PrintQueue");
    const auto logged = log.StoredValue(std::string("SELECT ") + c.qsoField + " FROM QSOs");
    EXPECT_EQ(queued.kind, logged.kind) << c.queueField;
    ASSERT_EQ(queued.bytes.size(), logged.bytes.size()) << c.queueField;
    EXPECT_EQ(std::memcmp(queued.bytes.data(), logged.bytes.data(), queued.bytes.size()), 0)
        << c.queueField << ": " << queued.bytes << " is not " << logged.bytes;
  }
  const std::optional<double> queuedBegin =
      zorvik::testing::JetDateFromText(log.Text("SELECT QSO_Begin FROM PrintQueue"));
  ASSERT_TRUE(queuedBegin);
  EXPECT_EQ(std::memcmp(&*queuedBegin, &begin, sizeof begin), 0);

  // The contact a candidate again, under a queued band spelled otherwise (its slot looks free):
  // the builder must find it in the queue by these very values and add nothing.
  log.Exec("UPDATE QSOs SET QSL_Rcvd = NULL");
  log.Exec("UPDATE PrintQueue SET band = lower(band)");
  Harness again(log.Path());
  LoadQslQueue(again.ctx);
  EXPECT_TRUE(again.dialogs.boxes.empty()) << again.dialogs.boxes[0].text;
  EXPECT_EQ(again.view.billboard, Loaded(0));
  EXPECT_EQ(log.Count("SELECT count(*) FROM PrintQueue"), 1);
}

// A contact whose queue row is refused (here by a trigger of the log) is reported and taken back;
// the run goes on, and a later contact of the same call sign is queued as the call's first,
// from a queue set that holds nothing of the undone work.
TEST(LoadQslQueue, AFailedContactLeavesTheNextOfItsCallToBeQueued) {
  ScratchLog log;
  log.AddQso(Contact("DL1XX", "230", "20M", "SSB", "2005-01-01 00:00:00"));
  log.AddQso(Contact("DL1XX", "230", "40M", "CW", "2005-01-02 00:00:00"));
  log.SetProgress("230", std::string(44, 'W'));
  log.Exec(
      "CREATE TRIGGER refuse BEFORE INSERT ON PrintQueue WHEN NEW.band = '20M' "
      "BEGIN SELECT RAISE(ABORT, 'the queue refuses 20M'); END");
  Harness h(log.Path());
  LoadQslQueue(h.ctx);
  ASSERT_EQ(h.dialogs.boxes.size(), 1u);
  EXPECT_NE(h.dialogs.boxes[0].text.find("the queue refuses 20M"), std::string::npos)
      << h.dialogs.boxes[0].text;
  ExpectFinished(h, log, 1);
  EXPECT_EQ(log.Rows("SELECT Call, band, mode, Incidence, \"Unique\" FROM PrintQueue"),
            (Rows{{"DL1XX", "40M", "CW", "1", "Y"}}));
  EXPECT_EQ(log.Rows("SELECT Band, QSL_Rcvd FROM QSOs ORDER BY rowid"),
            (Rows{{"20M", "<null>"}, {"40M", "R"}}));
}

#ifndef _WIN32
// A run killed in the middle (here: while an error box of the builder is up) leaves the log
// exactly as it was before the run: no queue rows, no "R", no "~".
TEST(LoadQslQueue, KilledRunLeavesTheLogAsItWas) {
  ScratchLog log;
  for (int i = 0; i < 50; ++i) {
    log.AddQso(Contact("A" + std::to_string(100 + i), std::to_string(100 + i), "20M", "SSB",
                       "2005-01-01 00:00:00"));
    log.SetProgress(std::to_string(100 + i), std::string(44, 'W'));
  }
  log.AddQueueRow("OLD", "120", "20M", "SSB");
  // A twin of contact A140 without a start time: the builder stops with an error box there,
  // after forty contacts were queued and the marks set.
  log.AddQueueRow("A140", "999", "20M", "SSB", 14.2, std::nullopt);
  const std::string before = log.Dump();
  log.Disconnect();

  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(ready[0]);
    struct Blocking : testing::FakeDialogs {
      int fd;
      Answer MsgBox(const std::string&, int, const std::string&) override {
        char c = 'x';
        (void)!write(fd, &c, 1);
        for (;;) pause();
      }
    };
    Harness h(log.Path());
    Blocking dialogs;
    dialogs.fd = ready[1];
    host::HostContext host{h.mod, h.dde, h.settings, dialogs, h.view, {"Zorvik", 1, 4, 2}};
    logdb::AppContext ctx{host, h.session};
    LoadQslQueue(ctx);
    _exit(3);  // never reached: the box blocks
  }
  close(ready[1]);
  char c = 0;
  if (read(ready[0], &c, 1) != 1) {
    int early = 0;
    waitpid(child, &early, 0);
    FAIL() << "the run ended without reaching the box, status " << early;
  }
  close(ready[0]);
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));

  EXPECT_EQ(log.Dump(), before);
  EXPECT_EQ(log.Count("SELECT count(*) FROM QSOs WHERE QSL_Rcvd IS NOT NULL"), 0);
}

#endif  // fork and kill are POSIX; the transaction that makes this hold is the same code

}  // namespace
}  // namespace zorvik::logops_test
