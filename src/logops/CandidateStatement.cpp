#include "logops/CandidateStatement.h"

#include "logops/SqlQuote.h"

namespace zorvik::logdb {

namespace {

// The WHERE part, from "WHERE" to the operator condition. The pieces are kept exactly as
// DXKeeper users know them from the statement's text, odd spacing included.
std::string CandidateCondition(const CandidateCriteria& c) {
  std::string s;
  s += "WHERE (QSO_End >= DateValue(\"";
  s += QuoteDoubleQuoted(c.startDate);
  s += "\") And QSO_End <= DateValue(\"";
  s += QuoteDoubleQuoted(c.stopDatePlusOne);
  s += "\")) ";
  s += "  AND (QSL_Sent Is Null Or QSL_Sent = '') ";
  s += "  AND (QSL_Rcvd Is Null Or QSL_Rcvd = '') ";
  s += "  AND DXCCID <> '0' ";
  if (!c.includeAllOperators) {
    s += " And Operator = '";
    s += QuoteText(c.hostCallSign);
    s += "'";
  }
  return s;
}

}  // namespace

std::string BuildCandidateStatement(const CandidateCriteria& c) {
  return "SELECT  * FROM QSOs " + CandidateCondition(c) +
         " Order By DXCCID, [Band], Mode, QSO_End DESC";
}

std::vector<std::string> BuildQueuedSlotClearStatements(const CandidateCriteria& c,
                                                        const std::set<QueuedSlots::Slot>& queued,
                                                        StatementDialect dialect) {
  const std::string update = "Update QSOs Set QSL_Rcvd='' ";
  if (dialect == StatementDialect::kJet) {
    // Jet compares text without regard to case, entity codes as the walk does; StrComp with
    // binary comparison (0) makes band and mode exact. A queue row without an entity stands for
    // the code ''.
    const std::string head =
        update + CandidateCondition(c) + " And QSL_Rcvd Is Null And DXCCID = '";
    std::vector<std::string> statements;
    for (const auto& [dxccid, band, mode] : queued) {
      const std::string b = QuoteText(band), m = QuoteText(mode);
      statements.push_back(head + QuoteText(dxccid) + "' And Band = '" + b + "' And Mode = '" + m +
                           "' And StrComp(Band, '" + b + "', 0) = 0 And StrComp(Mode, '" + m +
                           "', 0) = 0");
    }
    return statements;
  }
  // SQLite: the entity compared without regard to case also in a log whose columns lack COLLATE
  // NOCASE; band and mode exactly, since "ssb" is not DXKeeper's SSB slot; Null band or mode
  // never matches. The first In, band and mode by the columns' own collation, says nothing more
  // (it holds whenever the exact one does) but lets an index on entity, band and mode go
  // straight to the queued slots. The rows are found first and written in rowid order, so a
  // large log is written front to back instead of all over the file.
  const std::string queueSlots = "(Select ifnull(dxccid, ''), band, mode From PrintQueue)";
  return {update + "Where QSL_Rcvd Is Null And rowid In (Select rowid From QSOs " +
          CandidateCondition(c) + " And (DXCCID Collate NoCase, Band, Mode) In " + queueSlots +
          " And (DXCCID Collate NoCase, Band Collate Binary, Mode Collate Binary) In " +
          queueSlots + ")"};
}

}  // namespace zorvik::logdb
