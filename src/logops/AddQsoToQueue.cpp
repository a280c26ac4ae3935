#include <array>
#include <string>

#include "core/Failure.h"
#include "core/FailureReport.h"
#include "logdb/LogDateTime.h"
#include "logops/LogOperations.h"
#include "logops/QueueEntryFields.h"
#include "logops/SkipNoCurrentRecord.h"
#include "logops/SqlQuote.h"

namespace zorvik::logdb {
namespace {

// A queue field copied from a contact field.
struct Copy {
  const char* queueField;
  const char* qsoField;
};

// The queue fields filled before the contact is marked "R"; `via` is handled apart (it takes the
// QSL route as text).
constexpr std::array<Copy, 8> kFromQsoFirst = {{
    {"Call", "Call"},
    {"DXCC", "DXCCprefix"},
    {"QSO_Begin", "QSO_Begin"},
    {"RST_Sent", "RST_Sent"},
    {"RST_Rcvd", "RST_Rcvd"},
    {"mode", "mode"},
    {"Freq", "Freq"},
    {"band", "band"},
}};

// The operator's own address, taken from the QTHs row the caller stands on.
constexpr std::array<const char*, 12> kFromQth = {
    "City",      "County", "State",   "Country", "Grid",          "Latitude",
    "Longitude", "CQZone", "ITUZone", "Iota",    "StreetAddress", "PostalCode"};

constexpr std::array<Copy, 11> kFromQsoLast = {{
    {"BAND_RX", "BAND_RX"},
    {"FREQ_RX", "FREQ_RX"},
    {"PROP_MODE", "PROP_MODE"},
    {"SAT_NAME", "SAT_NAME"},
    {"SAT_MODE", "SAT_MODE"},
    {"dxccid", "dxccid"},
    {"Name", "Name"},
    {"Address", "Address"},
    {"TX_Power", "TX_Power"},
    {"QTH", "QTH"},
    {"CONTEST_ID", "CONTEST_ID"},
}};

// The contact fields copied in between, where the row's order puts them.
constexpr std::array<Copy, 3> kFromQsoInPlace = {{
    {"Operator", "Operator"},
    {"Notes", "QSLMsg"},
    {"MYQTHID", "MYQTHID"},
}};

// The queue fields the builder fills with values of its own making, and the contact fields it
// reads outside the copy tables; with those tables, every field it touches.
constexpr std::array<const char*, 6> kQueueOwnFields = {"via",    "QSL_Rcvd", "Incidence",
                                                        "Unique", "Needed",   "Enabled"};
constexpr std::array<const char*, 3> kQsoOwnFields = {"Call", "QSL_Via", "QSL_Rcvd"};

void RequireField(const Recordset& set, const char* table, const char* field) {
  if (!set.HasField(field)) {
    throw Failure(err::kUnknownField, std::string("Nothing can be queued: the log's ") + table +
                                          " table has no field " + field);
  }
}

// True when the queue row found by the call-sign criterion is this very contact: same frequency,
// same mode (exact, letter case included) and the same start time. Null never matches, and a
// Null start time is only read once frequency and mode agree.
bool SameContact(const Recordset& queued, const Recordset& qso) {
  if (!SameValue(queued.Fields("Freq"), qso.Fields("Freq"))) return false;
  if (!SameValue(queued.Fields("mode"), qso.Fields("mode"))) return false;
  return ToLogDateTime(queued.Fields("QSO_Begin")) == ToLogDateTime(qso.Fields("QSO_Begin"));
}

// Writes the queue row for the contact, or nothing when it is already queued. Throws on failure;
// the caller's savepoint then takes back whatever was written.
bool QueueContact(LogSession& s) {
  if (!s.QsoSet || !s.QueueSet || !s.QthSet) {
    throw Failure(err::kObjectNotSet, "Object variable or With block variable not set");
  }
  Recordset& qso = *s.QsoSet;
  Recordset& queue = *s.QueueSet;
  Recordset& qth = *s.QthSet;

  const Value call = qso.Fields("Call");
  if (call.IsNull()) throw Failure(err::kInvalidUseOfNull, "Invalid use of Null");
  const std::string criterion = "Call = '" + QuoteText(call.ToText()) + "'";
  // Counts every queued contact of this call sign, this one included.
  std::int64_t count = 1;

  SkipNoCurrentRecord([&] { queue.MoveLast(); });
  for (queue.FindFirst(criterion); !queue.NoMatch(); queue.FindNext(criterion)) {
    ++count;
    if (SameContact(queue, qso)) return false;
  }

  // Every queued card of the call sign carries the new total, so DXKeeper can print "1 of 3".
  const std::string incidence = std::to_string(count);
  if (count > 1) {
    SkipNoCurrentRecord([&] { queue.MoveLast(); });
    for (queue.FindFirst(criterion); !queue.NoMatch(); queue.FindNext(criterion)) {
      queue.Edit();
      queue.SetField("Incidence", incidence);
      queue.Update();
    }
  }

  queue.AddNew();
  for (const Copy& c : kFromQsoFirst) queue.CopyField(c.queueField, qso, c.qsoField);
  // The route is stored as text: a text (or a missing route) as it is, anything else as its
  // text.
  const Value via = qso.Fields("QSL_Via");
  if (via.IsNull() || via.IsText()) {
    queue.CopyField("via", qso, "QSL_Via");
  } else {
    queue.SetField("via", Value(via.ToText()));
  }
  queue.CopyField("Operator", qso, "Operator");

  qso.Edit();
  qso.SetField("QSL_Rcvd", "R");
  qso.Update();

  queue.CopyField("QSL_Rcvd", qso, "QSL_Rcvd");
  queue.SetField("Incidence", incidence);
  queue.SetField("Unique", count == 1 ? "Y" : "N");
  queue.SetField("Needed", "Y");
  queue.CopyField("Notes", qso, "QSLMsg");
  queue.SetField("Enabled", "Y");
  queue.CopyField("MYQTHID", qso, "MYQTHID");
  // Without any QTHs row the address fields keep the table's defaults.
  for (const char* field : kFromQth) {
    SkipNoCurrentRecord([&] { queue.CopyField(field, qth, field); });
  }
  for (const Copy& c : kFromQsoLast) queue.CopyField(c.queueField, qso, c.qsoField);
  queue.Update();
  return true;
}

}  // namespace

void RequireQueueEntryFields(const LogSession& s) {
  if (!s.QsoSet || !s.QueueSet || !s.QthSet) {
    throw Failure(err::kObjectNotSet, "Object variable or With block variable not set");
  }
  for (const char* field : kQsoOwnFields) RequireField(*s.QsoSet, "QSOs", field);
  const auto requireCopies = [&](const auto& copies) {
    for (const Copy& c : copies) {
      RequireField(*s.QueueSet, "PrintQueue", c.queueField);
      RequireField(*s.QsoSet, "QSOs", c.qsoField);
    }
  };
  requireCopies(kFromQsoFirst);
  requireCopies(kFromQsoInPlace);
  requireCopies(kFromQsoLast);
  for (const char* field : kQueueOwnFields) RequireField(*s.QueueSet, "PrintQueue", field);
  for (const char* field : kFromQth) {
    RequireField(*s.QueueSet, "PrintQueue", field);
    RequireField(*s.QthSet, "QTHs", field);
  }
}

bool EndsTheRun(const Failure& f) {
  switch (f.Number()) {
    case err::kNotEnoughMemory:
    case err::kDiskFull:
    case err::kResourcesExceeded:
    case err::kLockCountExceeded:
      return true;
    default:
      return false;
  }
}

QueueOutcome AddQsoToQueue(AppContext& ctx) {
  LogSession& s = ctx.session;
  bool inRun = false, committing = false;
  try {
    if (!s.LogDb)
      throw Failure(err::kObjectNotSet, "Object variable or With block variable not set");
    inRun = s.LogDb->TransactionDepth() > 0;
    // The renumbering, the "R" mark and the new row belong together: a contact marked "R"
    // without its queue row would never become a candidate again.
    Savepoint together(*s.LogDb);
    const bool added = QueueContact(s);
    committing = true;
    together.Release();
    return added ? QueueOutcome::kAdded : QueueOutcome::kAlreadyQueued;
  } catch (const Failure& f) {
    ReportFailure(ctx.host.dialogs, f);
    if (!s.LogDb) return QueueOutcome::kFailed;
    if (committing || EndsTheRun(f) || (inRun && !s.LogDb->TransactionActive())) {
      return QueueOutcome::kRunOver;
    }
  }
  // The savepoint has taken this contact's writes back, but Jet's dynaset still holds a queue row
  // they added (3167 when met again): the next contact of the call sign gets a fresh set.
  try {
    if (s.QueueSet) s.QueueSet->Close();
    s.QueueSet = s.LogDb->OpenRecordset(kQueueSetStatement);
  } catch (const Failure& f) {
    ReportFailure(ctx.host.dialogs, f);
    return QueueOutcome::kRunOver;
  }
  return QueueOutcome::kFailed;
}

}  // namespace zorvik::logdb
