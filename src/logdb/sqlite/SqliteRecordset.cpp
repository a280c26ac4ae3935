#include "logdb/sqlite/SqliteRecordset.h"

#include <sqlite3.h>

#include <algorithm>

#include "core/Failure.h"
#include "logdb/FoldCase.h"
#include "logdb/sqlite/SqlDialect.h"

namespace zorvik::logdb {
namespace {

// DAO's numbers for misuse of a record set.
constexpr int kUpdateWithoutEdit = 3020;

// Sets small enough that a lookup per row is cheaper than scanning the whole table.
constexpr std::size_t kPointLookupLimit = 4096;
// A field with more distinct values than this is not worth caching column-wise.
constexpr std::size_t kMaxDistinct = 4096;

// Identity of a value for the column cache: type and exact content.
std::string InternKey(const Value& v) {
  if (v.IsNull()) return "n";
  if (v.IsInteger()) return "i" + v.ToText();
  if (v.IsReal()) return "r" + v.ToText();
  return "t" + v.AsText();
}

// The text a value is found by: the host's engine compares text without regard to case and a
// number with its decimal text. Null is found by no criterion.
std::optional<std::string> FindKey(const Value& v) {
  if (v.IsNull()) return std::nullopt;
  return FoldCase(v.ToText());
}

// Resets a kept statement however the write ends, so it holds no lock and no old bindings.
class ResetWhenDone {
 public:
  explicit ResetWhenDone(Statement& st) : st_(st) {}
  ~ResetWhenDone() { st_.Reset(); }
  ResetWhenDone(const ResetWhenDone&) = delete;
  ResetWhenDone& operator=(const ResetWhenDone&) = delete;

 private:
  Statement& st_;
};

[[noreturn]] void NoCurrentRecord() {
  throw Failure(err::kNoCurrentRecord, "No current record");
}

}  // namespace

SqliteRecordset::SqliteRecordset(std::shared_ptr<Connection> conn, const RowidSelect& select)
    : conn_(std::move(conn)),
      table_(select.table),
      quoted_table_(QuoteIdentifier(table_)),
      table_key_(FoldCase(table_)) {
  seen_generation_ = conn_->Generation(table_key_);
  {
    Statement info(conn_->db, "SELECT name FROM pragma_table_info(?)");
    info.Bind(1, Value(table_));
    while (info.Step()) {
      std::string name = info.Column(0).ToText();
      column_index_.emplace(FoldCase(name), static_cast<int>(columns_.size()));
      columns_.push_back(std::move(name));
    }
  }
  if (columns_.empty()) {
    throw Failure(err::kMissingTable, "The log has no table named " + table_);
  }
  ReadRowids(select);
  std::string read = "SELECT ";
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    if (i) read += ", ";
    read += QuoteIdentifier(columns_[i]);
  }
  read += " FROM " + quoted_table_ + " WHERE rowid = ?";
  read_row_ = std::make_unique<Statement>(conn_->db, read);
  if (!rowids_.empty()) pos_ = 0;
}

SqliteRecordset::~SqliteRecordset() = default;

void SqliteRecordset::ReadRowids(const RowidSelect& select) {
  std::vector<int> ordering;
  for (const std::string& name : select.orderedBy) {
    auto it = column_index_.find(FoldCase(name));
    if (it == column_index_.end()) {
      ordering.clear();  // not a field of the table: leave the statement to say so
      break;
    }
    ordering.push_back(it->second);
  }
  if (ordering.empty()) {
    Statement rows(conn_->db, select.sql);
    while (rows.Step()) rowids_.push_back(rows.ColumnInt(0));
    return;
  }
  std::string sql = "SELECT rowid";
  for (int column : ordering) sql += ", " + QuoteIdentifier(columns_[column]);
  sql += " " + select.from;
  Statement rows(conn_->db, sql);
  std::vector<ColumnCache> caches(ordering.size());
  std::vector<bool> too_many(ordering.size(), false);
  while (rows.Step()) {
    rowids_.push_back(rows.ColumnInt(0));
    for (std::size_t i = 0; i < ordering.size(); ++i) {
      if (too_many[i]) continue;
      caches[i].codes.push_back(caches[i].Intern(rows.Column(static_cast<int>(i) + 1)));
      if (caches[i].distinct.size() > kMaxDistinct) {
        too_many[i] = true;
        caches[i] = ColumnCache{};
      }
    }
  }
  // A small set reads its rows one by one (ColumnFor); the caches are for large ones.
  if (rowids_.size() <= kPointLookupLimit) return;
  for (std::size_t i = 0; i < ordering.size(); ++i) {
    if (too_many[i]) {
      uncacheable_.insert(ordering[i]);
    } else {
      column_cache_.emplace(ordering[i], std::move(caches[i]));
    }
  }
}

void SqliteRecordset::CheckOpen() const {
  if (closed_) throw Failure(err::kObjectClosed, "The record set is closed");
}

int SqliteRecordset::ColumnIndex(std::string_view name) const {
  auto it = column_index_.find(FoldCase(name));
  if (it == column_index_.end()) {
    throw Failure(err::kUnknownField, "Item not found in this collection: no field " +
                                          std::string(name) + " in " + table_);
  }
  return it->second;
}

void SqliteRecordset::LeaveRow() {
  mode_ = EditMode::kNone;
  pending_.clear();
}

void SqliteRecordset::MoveFirst() {
  CheckOpen();
  LeaveRow();
  if (rowids_.empty()) NoCurrentRecord();
  pos_ = 0;
}

void SqliteRecordset::MoveLast() {
  CheckOpen();
  LeaveRow();
  if (rowids_.empty()) NoCurrentRecord();
  pos_ = rowids_.size() - 1;
}

void SqliteRecordset::MoveNext() {
  CheckOpen();
  LeaveRow();
  if (!pos_) NoCurrentRecord();
  if (*pos_ + 1 < rowids_.size()) {
    pos_ = *pos_ + 1;
  } else {
    pos_.reset();
  }
}

std::int64_t SqliteRecordset::RecordCount() const {
  CheckOpen();
  return static_cast<std::int64_t>(rowids_.size());
}

bool SqliteRecordset::IsEof() const {
  CheckOpen();
  return !pos_;
}

bool SqliteRecordset::NoMatch() const {
  CheckOpen();
  return no_match_;
}

std::vector<Value> SqliteRecordset::ReadRow(std::int64_t rowid) const {
  read_row_->Bind(1, Value(rowid));
  std::vector<Value> row;
  if (read_row_->Step()) {
    row.reserve(columns_.size());
    for (std::size_t i = 0; i < columns_.size(); ++i) {
      row.push_back(read_row_->Column(static_cast<int>(i)));
    }
  }
  // Reset at once: a statement left mid-step would hold a read lock and block COMMIT/ROLLBACK.
  read_row_->Reset();
  if (row.empty()) {
    throw Failure(err::kNoCurrentRecord, "No current record: the row was deleted");
  }
  return row;
}

void SqliteRecordset::SyncCaches() const {
  std::uint64_t now = conn_->Generation(table_key_);
  if (now == seen_generation_) return;
  row_pos_.reset();
  indexes_.clear();
  column_cache_.clear();
  uncacheable_.clear();
  seen_generation_ = now;
}

void SqliteRecordset::NoteOwnWrite() {
  conn_->TableChanged(table_key_);
  seen_generation_ = conn_->Generation(table_key_);
  row_pos_.reset();
}

const std::vector<Value>& SqliteRecordset::CurrentRow() const {
  if (!pos_) NoCurrentRecord();
  SyncCaches();
  if (row_pos_ != pos_) {
    row_ = ReadRow(rowids_[*pos_]);
    row_pos_ = pos_;
  }
  return row_;
}

const std::vector<std::pair<std::int64_t, std::uint32_t>>& SqliteRecordset::ByRowid() const {
  if (by_rowid_.size() != rowids_.size()) {
    by_rowid_.clear();
    by_rowid_.reserve(rowids_.size());
    for (std::size_t pos = 0; pos < rowids_.size(); ++pos) {
      by_rowid_.emplace_back(rowids_[pos], static_cast<std::uint32_t>(pos));
    }
    std::sort(by_rowid_.begin(), by_rowid_.end());
  }
  return by_rowid_;
}

std::uint32_t SqliteRecordset::ColumnCache::Intern(const Value& v) {
  // Neighbouring rows mostly hold the same value (a set ordered by the field, or the contacts
  // of one slot): no key to build then. Reals go the long way, where -0.0 is not 0.0.
  if (last < distinct.size() && !v.IsReal() && distinct[last] == v) return last;
  auto [it, added] = code_of.emplace(InternKey(v), static_cast<std::uint32_t>(distinct.size()));
  if (added) distinct.push_back(v);
  last = it->second;
  return last;
}

SqliteRecordset::ColumnCache* SqliteRecordset::ColumnFor(int column) const {
  if (rowids_.size() <= kPointLookupLimit || uncacheable_.count(column)) return nullptr;
  if (auto it = column_cache_.find(column); it != column_cache_.end()) return &it->second;
  // The cache costs a pass over the whole table: worth it for a column read along the set, not
  // for one read on a few rows (the queue builder reads thirty fields of each queued contact).
  if (++column_reads_[column] < kPointLookupLimit) return nullptr;

  // Fields read along the set are read together (a walk reads entity, band and mode of every
  // row): every column read about as often as this one is filled in the same pass, so a large
  // table is scanned once rather than once per field.
  std::vector<int> columns{column};
  for (const auto& [other, reads] : column_reads_) {
    if (other != column && reads >= kPointLookupLimit / 2 && !column_cache_.count(other) &&
        !uncacheable_.count(other)) {
      columns.push_back(other);
    }
  }
  std::string select = "SELECT rowid";
  for (int c : columns) select += ", " + QuoteIdentifier(columns_[c]);
  select += " FROM " + quoted_table_ + " ORDER BY rowid";

  // One pass over the table in rowid order, merged with the set's rows sorted by rowid.
  std::vector<ColumnCache> caches(columns.size());
  std::vector<bool> too_many(columns.size(), false);
  for (ColumnCache& cache : caches) cache.codes.assign(rowids_.size(), cache.Intern(Value()));
  const auto& by_rowid = ByRowid();
  Statement scan(conn_->db, select);
  std::size_t next = 0;
  while (next < by_rowid.size() && scan.Step()) {
    std::int64_t rowid = scan.ColumnInt(0);
    while (next < by_rowid.size() && by_rowid[next].first < rowid) ++next;
    if (next < by_rowid.size() && by_rowid[next].first == rowid) {
      for (std::size_t i = 0; i < columns.size(); ++i) {
        if (too_many[i]) continue;
        ColumnCache& cache = caches[i];
        cache.codes[by_rowid[next].second] = cache.Intern(scan.Column(static_cast<int>(i) + 1));
        if (cache.distinct.size() > kMaxDistinct) too_many[i] = true;
      }
      ++next;
    }
  }
  scan.Reset();
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (too_many[i]) {
      uncacheable_.insert(columns[i]);
    } else {
      column_cache_.emplace(columns[i], std::move(caches[i]));
    }
  }
  auto it = column_cache_.find(column);
  return it == column_cache_.end() ? nullptr : &it->second;
}

Value SqliteRecordset::Fields(std::string_view name) const {
  CheckOpen();
  int column = ColumnIndex(name);
  if (mode_ != EditMode::kNone) {
    auto it = pending_.find(column);
    if (it != pending_.end()) return it->second;
    // A new row shows Null until stored; the table's defaults are applied by the insert.
    if (mode_ == EditMode::kAddNew) return Value();
  }
  if (!pos_) NoCurrentRecord();
  SyncCaches();
  if (const ColumnCache* cache = ColumnFor(column)) return cache->distinct[cache->codes[*pos_]];
  return CurrentRow()[column];
}

bool SqliteRecordset::HasField(std::string_view name) const {
  CheckOpen();
  return column_index_.count(FoldCase(name)) > 0;
}

void SqliteRecordset::Edit() {
  CheckOpen();
  CurrentRow();  // 3021 without a current row, and the old values for the find indexes
  LeaveRow();
  mode_ = EditMode::kEdit;
}

void SqliteRecordset::AddNew() {
  CheckOpen();
  LeaveRow();
  mode_ = EditMode::kAddNew;
}

void SqliteRecordset::SetField(std::string_view name, const Value& value) {
  CheckOpen();
  int column = ColumnIndex(name);
  if (mode_ == EditMode::kNone) {
    throw Failure(kUpdateWithoutEdit, "Update or field assignment without AddNew or Edit");
  }
  pending_[column] = value;
}

void SqliteRecordset::Update() {
  CheckOpen();
  if (mode_ == EditMode::kNone) {
    throw Failure(kUpdateWithoutEdit, "Update without AddNew or Edit");
  }
  // Find indexes need the row's old values; they and the column caches need its new ones.
  const bool keep_in_step = !indexes_.empty() || !column_cache_.empty();
  if (mode_ == EditMode::kEdit) {
    if (!pending_.empty()) {
      std::vector<Value> old_row;
      if (!indexes_.empty()) old_row = CurrentRow();
      std::string sql = "UPDATE " + quoted_table_ + " SET ";
      bool first = true;
      for (const auto& [column, value] : pending_) {
        if (!first) sql += ", ";
        first = false;
        sql += QuoteIdentifier(columns_[column]) + " = ?";
      }
      sql += " WHERE rowid = ?";
      Statement& update = conn_->Prepared(sql);
      ResetWhenDone done(update);
      int index = 1;
      for (const auto& [column, value] : pending_) update.Bind(index++, value);
      update.Bind(index, Value(rowids_[*pos_]));
      update.Step();
      NoteOwnWrite();
      if (keep_in_step) {
        const std::vector<Value>& new_row = CurrentRow();
        if (!indexes_.empty()) IndexRemove(*pos_, old_row);
        IndexAdd(*pos_, new_row);
      }
    }
  } else {
    std::string sql = "INSERT INTO " + quoted_table_;
    if (pending_.empty()) {
      sql += " DEFAULT VALUES";
    } else {
      std::string names, marks;
      for (const auto& [column, value] : pending_) {
        if (!names.empty()) {
          names += ", ";
          marks += ", ";
        }
        names += QuoteIdentifier(columns_[column]);
        marks += "?";
      }
      sql += " (" + names + ") VALUES (" + marks + ")";
    }
    Statement& insert = conn_->Prepared(sql);
    ResetWhenDone done(insert);
    int index = 1;
    for (const auto& [column, value] : pending_) insert.Bind(index++, value);
    SyncCaches();
    insert.Step();
    NoteOwnWrite();
    std::int64_t rowid = sqlite3_last_insert_rowid(conn_->db);
    rowids_.push_back(rowid);
    if (!by_rowid_.empty()) {
      std::pair<std::int64_t, std::uint32_t> entry(rowid,
                                                   static_cast<std::uint32_t>(rowids_.size() - 1));
      by_rowid_.insert(std::lower_bound(by_rowid_.begin(), by_rowid_.end(), entry), entry);
    }
    if (keep_in_step) {
      std::vector<Value> new_row = ReadRow(rowid);
      IndexAdd(rowids_.size() - 1, new_row);
      for (auto& [column, cache] : column_cache_)
        cache.codes.push_back(cache.Intern(new_row[column]));
    }
  }
  LeaveRow();
}

void SqliteRecordset::IndexRemove(std::size_t pos, const std::vector<Value>& row) {
  for (auto& [column, index] : indexes_) {
    auto key = FindKey(row[column]);
    if (!key) continue;
    auto it = index.find(*key);
    if (it == index.end()) continue;
    auto& positions = it->second;
    auto at = std::lower_bound(positions.begin(), positions.end(), pos);
    if (at != positions.end() && *at == pos) positions.erase(at);
  }
}

void SqliteRecordset::IndexAdd(std::size_t pos, const std::vector<Value>& row) {
  for (auto& [column, cache] : column_cache_) {
    if (pos < cache.codes.size()) cache.codes[pos] = cache.Intern(row[column]);
  }
  for (auto& [column, index] : indexes_) {
    auto key = FindKey(row[column]);
    if (!key) continue;
    auto& positions = index[*key];
    auto p = static_cast<std::uint32_t>(pos);
    positions.insert(std::lower_bound(positions.begin(), positions.end(), p), p);
  }
}

SqliteRecordset::FieldIndex& SqliteRecordset::IndexFor(int column) {
  auto found = indexes_.find(column);
  if (found != indexes_.end()) return found->second;

  FieldIndex index;
  std::string field = QuoteIdentifier(columns_[column]);
  if (rowids_.size() <= kPointLookupLimit) {
    Statement read(conn_->db, "SELECT " + field + " FROM " + quoted_table_ + " WHERE rowid = ?");
    for (std::size_t pos = 0; pos < rowids_.size(); ++pos) {
      read.Bind(1, Value(rowids_[pos]));
      if (read.Step()) {
        if (auto key = FindKey(read.Column(0))) {
          index[*key].push_back(static_cast<std::uint32_t>(pos));
        }
      }
      read.Reset();
    }
  } else {
    // One pass over the table in rowid order, merged with the set's rows sorted by rowid.
    const auto& by_rowid = ByRowid();
    Statement scan(conn_->db,
                   "SELECT rowid, " + field + " FROM " + quoted_table_ + " ORDER BY rowid");
    std::size_t next = 0;
    while (next < by_rowid.size() && scan.Step()) {
      std::int64_t rowid = scan.ColumnInt(0);
      while (next < by_rowid.size() && by_rowid[next].first < rowid) ++next;
      if (next < by_rowid.size() && by_rowid[next].first == rowid) {
        if (auto key = FindKey(scan.Column(1))) index[*key].push_back(by_rowid[next].second);
        ++next;
      }
    }
    scan.Reset();
    for (auto& [key, positions] : index) std::sort(positions.begin(), positions.end());
  }
  return indexes_.emplace(column, std::move(index)).first->second;
}

void SqliteRecordset::Find(std::string_view criterion, bool from_start) {
  CheckOpen();
  Criterion c = ParseCriterion(criterion);
  int column = ColumnIndex(c.field);
  if (!from_start && !pos_) NoCurrentRecord();
  std::size_t start = from_start ? 0 : *pos_ + 1;
  LeaveRow();
  SyncCaches();
  const FieldIndex& index = IndexFor(column);
  auto it = index.find(FoldCase(c.value));
  if (it != index.end()) {
    auto at = std::lower_bound(it->second.begin(), it->second.end(), start);
    if (at != it->second.end()) {
      pos_ = *at;
      no_match_ = false;
      return;
    }
  }
  pos_.reset();
  no_match_ = true;
}

void SqliteRecordset::FindFirst(std::string_view criterion) {
  Find(criterion, true);
}

void SqliteRecordset::FindNext(std::string_view criterion) {
  Find(criterion, false);
}

void SqliteRecordset::Close() {
  if (closed_) return;
  closed_ = true;
  LeaveRow();
  read_row_.reset();
  indexes_.clear();
  column_cache_.clear();
  by_rowid_ = {};
  rowids_ = {};
  pos_.reset();
  row_.clear();
  conn_.reset();
}

}  // namespace zorvik::logdb
