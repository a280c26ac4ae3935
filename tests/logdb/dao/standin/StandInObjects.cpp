#include "StandInObjects.h"

#include <sqlite3.h>

#include <cstring>

#include "logdb/Utf8Path.h"
#include "logdb/dao/VariantValue.h"
#include "logdb/sqlite/SqliteDatabase.h"
#include "support/JetRoutedLog.h"

namespace zorvik::dao_standin {
namespace {

using logdb::Value;

constexpr int kDateType = 8, kTextType = 10;  // dbDate, dbText
constexpr int kConversionError = 3421;

[[noreturn]] void ThrowClosed() {
  throw Failure(err::kObjectClosed, "Object invalid or no longer set.");
}

// DXKeeper's Date/Time fields among those Zorvik touches; all others are text or numbers.
bool IsDateField(const std::string& name) {
  return _stricmp(name.c_str(), "QSO_Begin") == 0 || _stricmp(name.c_str(), "QSO_End") == 0;
}

// Jet's StrComp(a, b[, compare]): -1, 0 or 1; binary (0, the default here) or ASCII text (1)
// comparison; Null when a text is Null.
void StrComp(sqlite3_context* context, int count, sqlite3_value** values) {
  if (sqlite3_value_type(values[0]) == SQLITE_NULL ||
      sqlite3_value_type(values[1]) == SQLITE_NULL) {
    sqlite3_result_null(context);
    return;
  }
  const auto* a = reinterpret_cast<const char*>(sqlite3_value_text(values[0]));
  const auto* b = reinterpret_cast<const char*>(sqlite3_value_text(values[1]));
  const bool text = count > 2 && sqlite3_value_int(values[2]) == 1;
  const int order = text ? _stricmp(a, b) : std::strcmp(a, b);
  sqlite3_result_int(context, (order > 0) - (order < 0));
}

}  // namespace

// ---- DBEngine

Engine::Engine() {
  Member(L"OpenDatabase", [this](const Arguments& a) {
    const std::string path = a.Text(0);
    const std::filesystem::path jet = logdb::Utf8Path(path);
    if (!std::filesystem::is_regular_file(jet)) {
      throw Failure(err::kFileNotFound, "Could not find file '" + path + "'.");
    }
    const std::optional<std::filesystem::path> sqlite = testing::SqliteLogOf(jet);
    if (!sqlite)
      throw Failure(err::kUnrecognizedFormat, "Unrecognized database format '" + path + "'.");
    const std::u8string target = sqlite->u8string();
    auto db = Make<Database>(
        *this, logdb::SqliteDatabase::Open(std::string(target.begin(), target.end())));
    return ObjectResult(db.get());
  });
  Member(L"BeginTrans", [this](const Arguments&) {
    for (Database* db : open_) db->Sqlite().BeginTrans();
    ++depth_;
    return UniqueVariant();
  });
  // CommitTrans and Rollback end the innermost level of every open database.
  const auto endLevel = [this](auto end) {
    return [this, end](const Arguments&) {
      if (depth_ == 0) {
        throw Failure(err::kNoTransaction,
                      "You tried to commit or rollback a transaction without first beginning a "
                      "transaction.");
      }
      for (Database* db : open_) end(db->Sqlite());
      --depth_;
      return UniqueVariant();
    };
  };
  Member(L"CommitTrans", endLevel([](logdb::SqliteDatabase& db) { db.CommitTrans(); }));
  Member(L"Rollback", endLevel([](logdb::SqliteDatabase& db) { db.Rollback(); }));
  Member(L"SetOption", [](const Arguments& a) {
    a.At(1);  // both arguments are required; Jet's locking has no SQLite counterpart
    return UniqueVariant();
  });
}

void Engine::Opened(Database* db) {
  open_.push_back(db);
}

void Engine::Closed(Database* db) {
  std::erase(open_, db);
}

// ---- Database

Database::Database(Engine& engine, std::unique_ptr<logdb::SqliteDatabase> sqlite)
    : engine_(&engine), sqlite_(std::move(sqlite)) {
  engine_->AddRef();
  engine_->Opened(this);
  sqlite3_create_function(sqlite_->Handle(), "StrComp", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                          nullptr, &StrComp, nullptr, nullptr);
  Member(L"OpenRecordset", [this](const Arguments& a) {
    auto set = Make<Recordset>(*this, Sqlite().OpenRecordset(a.Text(0)));
    return ObjectResult(set.get());
  });
  Member(L"Execute", [this](const Arguments& a) {
    Sqlite().Execute(a.Text(0));
    return UniqueVariant();
  });
  Member(L"RecordsAffected",
         [this](const Arguments&) { return ValueResult(Value(Sqlite().RecordsAffected())); });
  Member(L"Updatable", [this](const Arguments&) {
    return BoolResult(sqlite3_db_readonly(Sqlite().Handle(), "main") == 0);
  });
  Member(L"Close", [this](const Arguments&) {
    if (!closed_) engine_->Closed(this);
    closed_ = true;
    return UniqueVariant();
  });
}

Database::~Database() {
  if (!closed_) engine_->Closed(this);
  sqlite_.reset();
  engine_->Release();
}

logdb::SqliteDatabase& Database::Sqlite() {
  if (closed_) ThrowClosed();
  return *sqlite_;
}

// ---- Recordset, Fields, Field

Recordset::Recordset(Database& db, std::unique_ptr<logdb::Recordset> set)
    : db_(&db), set_(std::move(set)) {
  db_->AddRef();
  const auto step = [this](void (logdb::Recordset::*move)()) {
    return [this, move](const Arguments&) {
      (set_.get()->*move)();
      return UniqueVariant();
    };
  };
  Member(L"MoveFirst", step(&logdb::Recordset::MoveFirst));
  Member(L"MoveNext", step(&logdb::Recordset::MoveNext));
  Member(L"MoveLast", step(&logdb::Recordset::MoveLast));
  Member(L"Edit", step(&logdb::Recordset::Edit));
  Member(L"AddNew", step(&logdb::Recordset::AddNew));
  Member(L"Update", step(&logdb::Recordset::Update));
  Member(L"Close", step(&logdb::Recordset::Close));
  Member(L"RecordCount",
         [this](const Arguments&) { return ValueResult(Value(set_->RecordCount())); });
  Member(L"EOF", [this](const Arguments&) { return BoolResult(set_->IsEof()); });
  Member(L"NoMatch", [this](const Arguments&) { return BoolResult(set_->NoMatch()); });
  Member(L"FindFirst", [this](const Arguments& a) {
    set_->FindFirst(a.Text(0));
    return UniqueVariant();
  });
  Member(L"FindNext", [this](const Arguments& a) {
    set_->FindNext(a.Text(0));
    return UniqueVariant();
  });
  Member(L"Fields", [this](const Arguments&) {
    auto fields = Make<Fields>(*this);
    return ObjectResult(fields.get());
  });
}

Recordset::~Recordset() {
  set_.reset();  // before the database whose connection it reads
  db_->Release();
}

Fields::Fields(Recordset& set) : set_(&set) {
  set_->AddRef();
  Member(L"Item", [this](const Arguments& a) {
    const std::string name = a.Text(0);
    if (!set_->Set().HasField(name))
      throw Failure(err::kUnknownField, "Item not found in this collection.");
    auto field = Make<Field>(*set_, name);
    return ObjectResult(field.get());
  });
}

Fields::~Fields() {
  set_->Release();
}

Field::Field(Recordset& set, std::string name) : set_(&set), name_(std::move(name)) {
  set_->AddRef();
  const bool date = IsDateField(name_);
  Member(
      L"Value",
      [this, date](const Arguments&) {
        const Value value = set_->Set().Fields(name_);
        return logdb::dao::ToVariant(value, date);
      },
      [this, date](const Arguments& a) {
        // Jet would read a text for a date by the user's locale; Zorvik must send dates as
        // dates, so the stand-in refuses a text there.
        if (date && a.Raw(0).vt == VT_BSTR) {
          throw Failure(kConversionError, "Data type conversion error.");
        }
        set_->Set().SetField(name_, a.At(0));
        return UniqueVariant();
      });
  Member(L"Type",
         [date](const Arguments&) { return ValueResult(Value(date ? kDateType : kTextType)); });
  Member(L"Name", [this](const Arguments&) { return ValueResult(Value(name_)); });
}

Field::~Field() {
  set_->Release();
}

}  // namespace zorvik::dao_standin
