#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "logdb/Recordset.h"
#include "logdb/Value.h"

namespace zorvik::logdb {

// The entities' BandModes texts, read once per Add run. The table is small (one row per entity)
// and does not change during a run, so the walk looks entities up in memory instead of searching
// the record set once per slot.
class ProgressTable {
 public:
  // Reads every row of `progress` from its first. Where several rows carry one entity code, the
  // first in the set's order counts, as a search from the first row would find it. Codes match
  // without regard to ASCII letter case, as the log's text columns do.
  static ProgressTable Read(Recordset& progress);

  // The entity's BandModes (possibly Null), or nullptr when the entity has no row.
  const Value* BandModes(std::string_view entityCode) const;

 private:
  std::unordered_map<std::string, Value> byCode_;
};

}  // namespace zorvik::logdb
