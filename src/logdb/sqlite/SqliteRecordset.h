#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "logdb/Recordset.h"
#include "logdb/sqlite/SqlDialect.h"
#include "logdb/sqlite/SqliteSupport.h"

namespace zorvik::logdb {

// The Recordset over SQLite (semantics in Recordset.h). It holds the rowids of its rows in the
// statement's order, reads the current row by rowid when a field is asked for, and keeps that
// row until the position or the data changes. Find indexes are built per field on first use,
// in one pass, and kept in step with Edit and AddNew. On a large set, a field with few distinct
// values (band, mode, entity, QSL status) is read for the whole set in one pass and kept as
// small codes, so a walk that reads such fields row by row does not jump about the file.
class SqliteRecordset final : public Recordset {
 public:
  // `select` gives the set's rows over its table, in order. On a large set the fields it is
  // ordered by are read along with the rowids and kept as column caches: the engine has them at
  // hand for the ordering, and a walk over such a set reads them row after row.
  SqliteRecordset(std::shared_ptr<Connection> conn, const RowidSelect& select);
  ~SqliteRecordset() override;

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
  void Update() override;

  void Close() override;

 private:
  enum class EditMode { kNone, kEdit, kAddNew };
  // Values of one field -> ascending positions of the rows that hold them.
  using FieldIndex = std::unordered_map<std::string, std::vector<std::uint32_t>>;

  // One field's values for every position, as codes into a small table of distinct values.
  struct ColumnCache {
    std::vector<Value> distinct;
    std::unordered_map<std::string, std::uint32_t> code_of;  // by InternKey
    std::vector<std::uint32_t> codes;                        // by position
    std::uint32_t last = 0;                                  // the code Intern gave last
    std::uint32_t Intern(const Value& v);
  };

  void CheckOpen() const;
  void SyncCaches() const;  // drops every cache when the table changed behind the set
  void NoteOwnWrite();      // after this set wrote: the caches stay, kept in step by the caller
  const std::vector<std::pair<std::int64_t, std::uint32_t>>& ByRowid() const;
  ColumnCache* ColumnFor(int column) const;      // nullptr when the field is read row by row
  void ReadRowids(const RowidSelect& select);    // with the ordering fields, when worth it
  int ColumnIndex(std::string_view name) const;  // throws 3265
  void LeaveRow();                               // a move drops an unfinished Edit/AddNew
  const std::vector<Value>& CurrentRow() const;  // throws 3021
  std::vector<Value> ReadRow(std::int64_t rowid) const;
  FieldIndex& IndexFor(int column);
  void Find(std::string_view criterion, bool from_start);
  void IndexRemove(std::size_t pos, const std::vector<Value>& row);
  void IndexAdd(std::size_t pos, const std::vector<Value>& row);

  std::shared_ptr<Connection> conn_;
  std::string table_;
  std::string quoted_table_;
  std::string table_key_;
  std::vector<std::string> columns_;
  std::unordered_map<std::string, int> column_index_;  // lower-case name -> column
  std::vector<std::int64_t> rowids_;
  std::optional<std::size_t> pos_;
  bool no_match_ = false;
  bool closed_ = false;

  EditMode mode_ = EditMode::kNone;
  std::map<int, Value> pending_;

  std::unique_ptr<Statement> read_row_;
  // The current row as last read; `mutable` because reading a field fills it.
  mutable std::vector<Value> row_;
  mutable std::optional<std::size_t> row_pos_;
  mutable std::uint64_t seen_generation_ = 0;

  // Built on demand, hence mutable; all dropped by SyncCaches.
  mutable std::unordered_map<int, FieldIndex> indexes_;
  mutable std::unordered_map<int, ColumnCache> column_cache_;
  mutable std::unordered_map<int, std::size_t> column_reads_;  // point reads per column so far
  mutable std::unordered_set<int> uncacheable_;
  mutable std::vector<std::pair<std::int64_t, std::uint32_t>> by_rowid_;  // sorted by rowid
};

}  // namespace zorvik::logdb
