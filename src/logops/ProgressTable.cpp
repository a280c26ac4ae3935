#include "logops/ProgressTable.h"

#include "logdb/FoldCase.h"

namespace zorvik::logdb {

ProgressTable ProgressTable::Read(Recordset& progress) {
  ProgressTable table;
  progress.MoveFirst();
  for (; !progress.IsEof(); progress.MoveNext()) {
    const Value code = progress.Fields("CountryCode");
    if (code.IsNull()) continue;  // a Null code equals no entity
    table.byCode_.try_emplace(FoldCase(code.ToText()), progress.Fields("BandModes"));
  }
  return table;
}

const Value* ProgressTable::BandModes(std::string_view entityCode) const {
  auto it = byCode_.find(FoldCase(entityCode));
  return it == byCode_.end() ? nullptr : &it->second;
}

}  // namespace zorvik::logdb
