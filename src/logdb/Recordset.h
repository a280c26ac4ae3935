#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "logdb/Value.h"

namespace zorvik::logdb {

class Database;

// An updatable record set over a single-table SELECT, with DAO's semantics:
// - opens standing on the first row, if any; rows come in the statement's order;
// - MoveNext past the last row leaves no current row (EOF); MoveNext with no current row,
//   MoveFirst/MoveLast on an empty set, and any field access with no current row fail with 3021;
// - RecordCount() counts every row of the set (read it after MoveLast, as callers do);
// - FindFirst/FindNext take a criterion "Field = 'value'" or "Field='value'" (a doubled
//   apostrophe inside the value stands for one); a hit makes that row current and clears NoMatch,
//   a miss sets NoMatch and leaves the position undefined (DAO's word; SQLite's set has no
//   current row then), so callers act on a row only when NoMatch is false; a criterion the
//   engine cannot read fails with 3077 (SQLite's takes only the form above, Jet any condition);
// - Edit ... SetField ... Update changes the current row, which stays current; AddNew ... SetField
//   ... Update appends a row (starting with the table's defaults) to the table and to the end of
//   the set, and leaves the position where it was before AddNew; a row begun with AddNew and never
//   updated is dropped when the set moves or closes;
// - field names match without regard to case; an unknown name fails with 3265.
//
// Memory: the set keeps row positions (rowids) and reads values on demand, so it never holds
// whole wide rows of a large set. Owned by the caller; must be destroyed before its Database.
class Recordset {
 public:
  virtual ~Recordset() = default;

  virtual void MoveFirst() = 0;
  virtual void MoveNext() = 0;
  virtual void MoveLast() = 0;
  virtual std::int64_t RecordCount() const = 0;
  virtual bool IsEof() const = 0;  // no current row

  virtual void FindFirst(std::string_view criterion) = 0;
  virtual void FindNext(std::string_view criterion) = 0;
  virtual bool NoMatch() const = 0;

  // The current row's value (or the value being edited). Throws 3021 / 3265.
  virtual Value Fields(std::string_view name) const = 0;

  // Whether the set's table has the field (any letter case). Needs no current row; throws only
  // on a closed set (3420).
  virtual bool HasField(std::string_view name) const = 0;

  virtual void Edit() = 0;
  virtual void AddNew() = 0;
  virtual void SetField(std::string_view name, const Value& value) = 0;
  // Fills `name` of the row being edited with the value of `fromName` in the current row of
  // `from` (a set of the same engine), exactly as the engine holds it: a copied date, a Single or
  // a Yes/No keeps its kind and its bits, as DXKeeper compares them. Throws as Fields and
  // SetField do. Where the layer's Value holds every kind of the engine (SQLite's), this is
  // SetField of Fields.
  virtual void CopyField(std::string_view name, const Recordset& from, std::string_view fromName) {
    SetField(name, from.Fields(fromName));
  }
  virtual void Update() = 0;

  // Idempotent; further calls on a closed set fail with 3420 (object no longer set).
  virtual void Close() = 0;
};

}  // namespace zorvik::logdb
