#pragma once

#include <optional>
#include <string>
#include <unordered_map>

#include "logdb/Recordset.h"
#include "logdb/dao/Automation.h"

namespace zorvik::logdb::dao {

// The Recordset over a DAO Recordset (the dynaset Jet opens for a statement): every move, count,
// search, read and write is DAO's own, and so are its failures (3021 no current record, 3265 no
// such field, 3077 a criterion Jet cannot read, ...). What the layer's contract (Recordset.h)
// adds is DAO's behaviour already, with two readings of Jet's:
// - after a search that found nothing the position is undefined (DAO's words), as the layer
//   allows; callers act on a row only when NoMatch is false;
// - IsEof is DAO's EOF: no current row after moving past the last one or in an empty set.
//
// Each field is looked up once (Fields("name")) and its Field object kept: DAO's Field follows
// the current row, so a read is one call. Owned by the caller; destroyed before its Database.
class DaoRecordset final : public Recordset {
 public:
  explicit DaoRecordset(Dispatch recordset) : recordset_(std::move(recordset)) {}
  ~DaoRecordset() override;

  void MoveFirst() override;
  void MoveNext() override;
  void MoveLast() override;
  std::int64_t RecordCount() const override;
  bool IsEof() const override;

  void FindFirst(std::string_view criterion) override;
  void FindNext(std::string_view criterion) override;
  bool NoMatch() const override;

  Value Fields(std::string_view name) const override;
  bool HasField(std::string_view name) const override;

  void Edit() override;
  void AddNew() override;
  void SetField(std::string_view name, const Value& value) override;
  // From another DaoRecordset: the field's VARIANT as DAO gave it, handed back unchanged (a date
  // keeps its double, a Single stays VT_R4, a Yes/No VT_BOOL, currency VT_CY). From any other
  // set: SetField of its value.
  void CopyField(std::string_view name, const Recordset& from, std::string_view fromName) override;
  void Update() override;

  void Close() override;

 private:
  struct Field {
    Dispatch object;
    std::optional<bool> holdsDates;  // asked the first time a text is written to it
  };

  Dispatch& Set() const;                           // throws 3420 once closed
  Field& FieldNamed(std::string_view name) const;  // throws 3265 for a name the set lacks

  mutable Dispatch recordset_;
  mutable Dispatch fields_;                                // the Fields collection, once asked for
  mutable std::unordered_map<std::string, Field> byName_;  // by lower-case name
  bool closed_ = false;
};

}  // namespace zorvik::logdb::dao
