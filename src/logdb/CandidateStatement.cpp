#include "logdb/CandidateStatement.h"

#include "logdb/SqlQuote.h"

namespace zorvik::logdb {

std::string BuildCandidateStatement(const CandidateCriteria& c) {
  // The pieces are kept exactly as DXKeeper users know them from the statement's text, odd
  // spacing included.
  std::string s;
  s += "SELECT  * ";
  s += "FROM QSOs ";
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
  s += " Order By DXCCID, [Band], Mode, QSO_End DESC";
  return s;
}

}  // namespace zorvik::logdb
