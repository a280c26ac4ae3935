#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "AutomationObject.h"
#include "Store.h"

// The DAO 3.6 objects Zorvik reaches, played over SQLite logs behind Jet-routed files
// (support/JetRoutedLog.h), as strict as DAO and Jet are, so that the Windows suite that runs
// Zorvik through them shows what Jet would refuse:
// - one DBEngine per process, with one default workspace (Workspaces(0)) whose transaction
//   spans every database open in it, nested five levels at most (3003 beyond); closing a
//   database rolls back the levels still open;
// - every member declared as DAO's type library declares it (method, property get, get and put;
//   its parameters), checked as oleaut32 checks a call (AutomationObject.h); a member the object
//   does not have is unknown (438 to the caller);
// - statements and criteria through the Jet SQL gate (JetSql.h), dates through the stand-in's own
//   DateValue (JetDateValue.h);
// - typed fields (JetFields.h);
// - record sets of the type and options asked for: a dynaset (the default for a statement)
//   holds the keys of its rows, so a row added in a transaction level that is rolled back stays
//   in it and fails with 3167 when read; a snapshot, a forward-only set and dbReadOnly refuse
//   Edit and AddNew (3027); a table-type set (a table's name) refuses FindFirst (3251);
//   RecordCount is the number of rows visited until MoveLast has visited them all;
// - Execute runs an Update row by row: without dbFailOnError a row that cannot be written is
//   passed over silently, with it the statement stops there, and in neither case is what it
//   changed before taken back (Jet 3.5 and later run no implicit transaction);
// - the lock file, the lock and fault switches and the journal of the store (Store.h).
// Failures carry Jet's numbers and descriptions (JetErrors.h).
namespace zorvik::dao_standin {

class Database;
class Recordset;

// The default workspace: the transaction of every database open in the engine.
class Workspace final : public AutomationObject {
 public:
  Workspace();
  void Opened(Database* db) { open_.push_back(db); }
  void Closed(Database* db);
  int Depth() const { return depth_; }
  void BeginTrans();
  void CommitTrans(long options);
  void Rollback();
  UniqueVariant OpenDatabase(const Arguments& a);

 private:
  std::vector<Store*> Stores() const;  // of the open databases, each once
  std::vector<Database*> open_;
  int depth_ = 0;
};

class Engine final : public AutomationObject {
 public:
  // The process's one DBEngine (it lives as long as the process).
  static Engine& Instance();
  Workspace& DefaultWorkspace() { return *workspace_; }

 private:
  Engine();
  UniqueCom<Workspace> workspace_;
};

class Database final : public AutomationObject {
 public:
  Database(Workspace& workspace, std::shared_ptr<Store> store, bool readOnly);
  ~Database() override;
  Store& Log();  // throws 3420 once closed
  bool Updatable() const { return !readOnly_ && store_ && !store_->ReadOnly(); }
  void Opened(Recordset* set) { sets_.push_back(set); }
  void Closed(Recordset* set);

 private:
  UniqueVariant OpenRecordset(const Arguments& a);
  void Execute(const Arguments& a);
  void Close();

  Workspace* workspace_;  // one reference held
  std::shared_ptr<Store> store_;
  bool readOnly_;
  std::vector<Recordset*> sets_;
  long recordsAffected_ = 0;
};

// The kinds of record set, by DAO's RecordsetTypeEnum.
enum class SetType { kTable = 1, kDynaset = 2, kSnapshot = 4, kForwardOnly = 8 };

class Recordset final : public AutomationObject {
 public:
  struct Opening {
    const TableInfo* table;
    std::vector<int> fields;  // the set's fields: positions in the table
    SetType type;
    bool readOnly;
    std::vector<std::int64_t> rowids;  // the keys, in the set's order
  };
  Recordset(Database& db, std::shared_ptr<Store> store, Opening opening);
  ~Recordset() override;

  // A row added in a transaction level that was rolled back: its key stays, reading it fails.
  void Forget(const TableInfo& table, std::int64_t rowid);
  void CloseSet();

  // For the Fields collection and its Field objects.
  int FieldCount() const { return static_cast<int>(fields_.size()); }
  int FieldNamed(std::string_view name) const;  // -1
  const FieldSpec& FieldAt(int index) const;
  UniqueVariant FieldValue(int index);
  void SetFieldValue(int index, const VARIANT& value);
  void CheckOpen() const;  // 3420 once closed

 private:
  struct Key {
    std::int64_t rowid;
    bool gone = false;  // added in a level that was rolled back
  };
  enum class Editing { kNone, kEdit, kAddNew };

  bool Scrolls() const { return type_ != SetType::kForwardOnly; }
  void Leave();  // a move drops an unfinished Edit or AddNew
  void Visit(long position);
  void Move(long to);
  const std::vector<logdb::Value>& Row();  // the current row's stored values; 3021 / 3167
  void CheckWritable() const;              // 3027
  void Find(const std::string& criterion, bool first);
  void Edit();
  void AddNew();
  void Update();
  long Count() const;

  Database* db_;  // one reference held
  std::shared_ptr<Store> store_;
  const TableInfo* table_;
  std::vector<int> fields_;
  SetType type_;
  bool readOnly_;
  std::vector<Key> keys_;
  long position_ = 0;  // -1: before the first row; keys_.size(): after the last
  long visited_ = 0;   // rows visited so far: RecordCount
  bool noMatch_ = false;
  bool closed_ = false;
  Editing editing_ = Editing::kNone;
  std::map<int, logdb::Value> buffer_;  // by table field position
  std::string rowSql_;                  // reads one row of the table by its rowid
  std::vector<logdb::Value> row_;
  long rowPosition_ = -1;
  std::uint64_t rowGeneration_ = 0;
  std::vector<std::vector<logdb::Value>> snapshot_;  // a snapshot's rows, read when it opened
  // The rows a criterion matches, for the generation of the log they were read in.
  std::string foundFor_;
  std::uint64_t foundGeneration_ = 0;
  std::unordered_set<std::int64_t> found_;
};

class Fields final : public AutomationObject {
 public:
  explicit Fields(Recordset& set);
  ~Fields() override;

 private:
  Recordset* set_;  // one reference held
};

class Field final : public AutomationObject {
 public:
  Field(Recordset& set, int index);
  ~Field() override;

 private:
  Recordset* set_;  // one reference held
  int index_;
};

}  // namespace zorvik::dao_standin
