#pragma once

#include <string>

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

// The update that marks with "~" in QSL_Rcvd every candidate (same conditions as above) whose
// slot, entity with band and mode, already has a row in PrintQueue. One statement instead of a
// search per queue row: on a large log the engine does in one pass what would otherwise be one
// write per contact.
std::string BuildQueuedSlotMarkStatement(const CandidateCriteria& criteria);

}  // namespace zorvik::logdb
