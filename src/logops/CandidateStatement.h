#pragma once

#include <set>
#include <string>
#include <vector>

#include "logdb/Database.h"
#include "logops/QueuedSlots.h"

namespace zorvik::logdb {

// What the Add action's candidate selection depends on.
struct CandidateCriteria {
  std::string startDate;        // fDate as typed
  std::string stopDatePlusOne;  // the day after the stop date, as date text
  bool includeAllOperators = false;
  std::string hostCallSign;  // only used when includeAllOperators is false
};

// The statement that selects the candidates of an Add run: contacts that ended in the date
// range, with neither QSL sent nor received, with an entity, and (unless all operators count)
// made by the host's operator; ordered by entity, band, mode and newest first, which the walk
// relies on to meet the latest contact of each slot first. The values are quoted, so the
// statement keeps its meaning whatever the user typed.
std::string BuildCandidateStatement(const CandidateCriteria& criteria);

// The updates that give an empty QSL_Rcvd to every candidate (same conditions as above) whose
// slot, entity with band and mode, already has a row in PrintQueue and whose QSL_Rcvd is Null.
// Such candidates are never queued, and they leave a run with '' whatever they had; the ones
// that already have '' are not written at all. Which slots count as queued must agree with
// QueuedSlots (entity codes without regard to case, band and mode exactly).
// - SQLite: one statement that finds the slots in PrintQueue itself (`queued` is not read),
//   tuned for SQLite's indexes and collations.
// - Jet: one statement per slot of `queued`, each narrowed to its entity, band and mode (so an
//   index on them serves it), exact by Jet's StrComp. A statement that finds the slots itself
//   would compare every candidate with every queue row: Jet has no collations to tune.
std::vector<std::string> BuildQueuedSlotClearStatements(const CandidateCriteria& criteria,
                                                        const std::set<QueuedSlots::Slot>& queued,
                                                        StatementDialect dialect);

}  // namespace zorvik::logdb
