#pragma once

#include <memory>
#include <string>
#include <vector>

#include "AutomationObject.h"
#include "logdb/Recordset.h"

namespace zorvik::logdb {
class SqliteDatabase;
}

// The DAO objects Zorvik calls, played over Zorvik's own SQLite engine: DBEngine, Database,
// Recordset, Fields, Field, with the members Zorvik uses and no more. A log is opened through a
// Jet-routed file (support/JetRoutedLog.h). Statements and criteria go to the SQLite engine,
// which translates DXKeeper's dialect as it always does; Jet's StrComp is added to it. Failures
// are the SQLite engine's numbers and descriptions (3021, 3024, 3061, 3077, 3265, 3026, ...) and
// DAO's own where DAO would raise them (3034, 3265 from Fields, 3420 after Close).
//
// Stricter than Jet in one point: a text written to a date field is refused (3421) instead of
// being read by the user's locale, since Zorvik must send dates as VT_DATE.
//
// What it cannot show about Jet: Jet's locking, its text comparison in a log whose columns are
// case-sensitive (SQLite's collation applies), its dynaset caching after a rollback, its date
// handling beyond the conversion (QSO_Begin and QSO_End are given as VT_DATE, as Jet's Date/Time
// fields are; everything else as stored).
namespace zorvik::dao_standin {

class Database;

class Engine final : public AutomationObject {
 public:
  Engine();
  // The open databases, whose transactions BeginTrans, CommitTrans and Rollback are.
  void Opened(Database* db);
  void Closed(Database* db);

 private:
  std::vector<Database*> open_;
  int depth_ = 0;
};

class Database final : public AutomationObject {
 public:
  Database(Engine& engine, std::unique_ptr<logdb::SqliteDatabase> sqlite);
  ~Database() override;
  logdb::SqliteDatabase& Sqlite();  // throws 3420 once closed

 private:
  Engine* engine_;  // one reference held
  std::unique_ptr<logdb::SqliteDatabase> sqlite_;
  bool closed_ = false;
};

class Recordset final : public AutomationObject {
 public:
  Recordset(Database& db, std::unique_ptr<logdb::Recordset> set);
  ~Recordset() override;
  logdb::Recordset& Set() { return *set_; }

 private:
  Database* db_;  // one reference held: its connection outlives the set
  std::unique_ptr<logdb::Recordset> set_;
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
  Field(Recordset& set, std::string name);
  ~Field() override;

 private:
  Recordset* set_;  // one reference held
  std::string name_;
};

}  // namespace zorvik::dao_standin
