// The DAO stand-in refuses what DAO 3.6 and Jet 4.0 refuse, with their numbers: each case is a
// leniency the stand-in must not have, or the Windows suite that runs Zorvik through it would
// pass code that fails on real Jet. The calls are raw late-bound calls, as any DAO client makes
// them, so that the stand-in is checked on its own and not through Zorvik's automation glue.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <vector>

#include "LogFixture.h"
#include "logdb/Utf8Path.h"
#include "logdb/dao/Automation.h"
#include "logdb/dao/ComHolders.h"
#include "logdb/dao/VariantValue.h"
#include "support/JetDateText.h"
#include "support/JetRoutedLog.h"

namespace zorvik::logops_test {
namespace {

namespace fs = std::filesystem;
using logdb::Value;
using logdb::dao::UniqueCom;
using logdb::dao::UniqueVariant;
using Object = UniqueCom<IDispatch>;

UniqueVariant Arg(const Value& value) {
  return logdb::dao::ToVariant(value);
}

// What a call came to: "ok", the failure number DAO raised, or the HRESULT oleaut32 would give.
struct Answer {
  std::string outcome = "ok";
  UniqueVariant value;
};

std::string HresultName(HRESULT hr) {
  switch (hr) {
    case DISP_E_MEMBERNOTFOUND:
      return "DISP_E_MEMBERNOTFOUND";
    case DISP_E_PARAMNOTOPTIONAL:
      return "DISP_E_PARAMNOTOPTIONAL";
    case DISP_E_BADPARAMCOUNT:
      return "DISP_E_BADPARAMCOUNT";
    case DISP_E_TYPEMISMATCH:
      return "DISP_E_TYPEMISMATCH";
    case DISP_E_UNKNOWNNAME:
      return "DISP_E_UNKNOWNNAME";
    default:
      return logdb::dao::HresultText(hr);
  }
}

Answer Invoke(IDispatch* object, const wchar_t* name, WORD flags,
              std::initializer_list<const UniqueVariant*> arguments = {}, bool namedPut = true) {
  Answer answer;
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) {
    answer.outcome = HresultName(hr);
    return answer;
  }
  std::vector<VARIANT> reversed;
  for (auto it = std::rbegin(arguments); it != std::rend(arguments); ++it) {
    reversed.push_back((*it)->Get());
  }
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  const bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
  if (put && namedPut) {
    parameters.rgdispidNamedArgs = &putId;
    parameters.cNamedArgs = 1;
  }
  EXCEPINFO exception{};
  UINT bad = 0;
  hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters,
                      put ? nullptr : answer.value.Receive(), &exception, &bad);
  if (hr == DISP_E_EXCEPTION) {
    answer.outcome = std::to_string(exception.scode & 0xFFFF);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
  } else if (FAILED(hr)) {
    answer.outcome = HresultName(hr);
  }
  return answer;
}

Answer Call(IDispatch* o, const wchar_t* name, std::initializer_list<const UniqueVariant*> a = {}) {
  return Invoke(o, name, DISPATCH_METHOD, a);
}
Answer Get(IDispatch* o, const wchar_t* name, std::initializer_list<const UniqueVariant*> a = {}) {
  return Invoke(o, name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, a);
}

Object ObjectOf(const Answer& answer) {
  if (answer.value.Get().vt != VT_DISPATCH) return nullptr;
  IDispatch* object = answer.value.Get().pdispVal;
  object->AddRef();
  return Object(object);
}

// A fresh log behind a Jet-routed file, and the stand-in's DBEngine over it.
class Jet {
 public:
  Jet() {
    log.AddQso({});
    Qso second;
    second.call = "F5XX";
    log.AddQso(second);
    CLSID dbEngine{};
    CLSIDFromProgID(L"DAO.DBEngine.36", &dbEngine);
    IDispatch* created = nullptr;
    CoCreateInstance(dbEngine, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                     reinterpret_cast<void**>(&created));
    engine.reset(created);
  }
  // Opens the log with the stand-in's switches.
  IDispatch* Open(const std::vector<std::string>& switches = {}) {
    db.reset();  // the last user closes the log, so that it opens afresh with these switches
    zorvik::testing::WriteJetRoutedLog(logdb::Utf8Path(jet), "log.sqlite", switches);
    const UniqueVariant path = Arg(Value(jet));
    Answer opened = Call(engine.get(), L"OpenDatabase", {&path});
    EXPECT_EQ(opened.outcome, "ok") << "OpenDatabase";
    db = ObjectOf(opened);
    return db.get();
  }
  // A record set over `source`, of the type and with the options given (-1: left out).
  Answer Set(const std::string& source, long type = -1, long options = -1) {
    const UniqueVariant text = Arg(Value(source)), t = Arg(Value(static_cast<int>(type))),
                        o = Arg(Value(static_cast<int>(options)));
    if (type < 0) return Call(db.get(), L"OpenRecordset", {&text});
    if (options < 0) return Call(db.get(), L"OpenRecordset", {&text, &t});
    return Call(db.get(), L"OpenRecordset", {&text, &t, &o});
  }
  Object Field(IDispatch* set, const char* name) {
    const Object fields = ObjectOf(Get(set, L"Fields"));
    const UniqueVariant n = Arg(Value(name));
    return ObjectOf(Get(fields.get(), L"Item", {&n}));
  }
  Answer Execute(const std::string& statement, long options = -1) {
    const UniqueVariant text = Arg(Value(statement)), o = Arg(Value(static_cast<int>(options)));
    if (options < 0) return Call(db.get(), L"Execute", {&text});
    return Call(db.get(), L"Execute", {&text, &o});
  }

  ScratchLog log;
  const std::string jet = log.Folder() + "\\log.mdb";
  Object engine;
  Object db;
};

std::string Names(const std::vector<std::vector<std::string>>& rows) {
  std::string out;
  for (const auto& row : rows) out += (out.empty() ? "" : " ") + row[0];
  return out;
}

TEST(StandIn, RefusesWhatDaoAndJetRefuse) {
  struct Case {
    const char* leniency;
    std::function<std::string(Jet&)> act;
    std::string expected;
  };
  const std::string kQsos = "Select * From QSOs";
  const Case cases[] = {
      // Invoke as oleaut32 checks it against DAO's type library.
      {"a method invoked as a property",
       [&](Jet& j) {
         const Object set = ObjectOf(j.Set(kQsos));
         return Invoke(set.get(), L"MoveFirst", DISPATCH_PROPERTYGET).outcome;
       },
       "DISP_E_MEMBERNOTFOUND"},
      {"a read-only property set",
       [](Jet& j) {
         const UniqueVariant v = Arg(Value(1));
         return Invoke(j.db.get(), L"RecordsAffected", DISPATCH_PROPERTYPUT, {&v}).outcome;
       },
       "DISP_E_MEMBERNOTFOUND"},
      {"a property put without DISPID_PROPERTYPUT",
       [&](Jet& j) {
         const Object set = ObjectOf(j.Set(kQsos));
         Call(set.get(), L"Edit");
         const UniqueVariant v = Arg(Value("X"));
         return Invoke(j.Field(set.get(), "Name").get(), L"Value", DISPATCH_PROPERTYPUT, {&v},
                       false)
             .outcome;
       },
       "DISP_E_PARAMNOTOPTIONAL"},
      {"an argument too many",
       [&](Jet& j) {
         const Object set = ObjectOf(j.Set(kQsos));
         const UniqueVariant v = Arg(Value(1));
         return Call(set.get(), L"MoveFirst", {&v}).outcome;
       },
       "DISP_E_BADPARAMCOUNT"},
      {"a required argument left out",
       [](Jet& j) { return Call(j.db.get(), L"OpenRecordset").outcome; }, "DISP_E_BADPARAMCOUNT"},
      {"an argument of no use to its parameter's type",
       [](Jet& j) {
         const UniqueVariant text = Arg(Value("Update QSOs Set Name = 'B'")),
                             options = Arg(Value("fail on error"));
         return Call(j.db.get(), L"Execute", {&text, &options}).outcome;
       },
       "DISP_E_TYPEMISMATCH"},
      {"a member DAO has on another object",
       [&](Jet& j) {
         const Object set = ObjectOf(j.Set(kQsos));
         return Get(set.get(), L"RecordsAffected").outcome;
       },
       "DISP_E_UNKNOWNNAME"},
      // One engine, one workspace, nested five levels, closed databases roll back.
      {"a new DBEngine for every CoCreateInstance",
       [](Jet& j) {
         Jet other;
         return std::string(other.engine.get() == j.engine.get() ? "the same" : "another");
       },
       "the same"},
      {"Workspaces(0) apart from the engine's transaction",
       [](Jet& j) {
         const Object all = ObjectOf(Get(j.engine.get(), L"Workspaces"));
         const UniqueVariant zero = Arg(Value(0));
         const Object workspace = ObjectOf(Get(all.get(), L"Item", {&zero}));
         Call(workspace.get(), L"BeginTrans");
         j.Execute("Update QSOs Set Name = 'B'", 128);
         const std::string rollback = Call(j.engine.get(), L"Rollback").outcome;
         return rollback + " " + Names(j.log.Rows("SELECT Name FROM QSOs"));
       },
       "ok Hans Hans"},
      {"Database.Close keeping the transaction open",
       [](Jet& j) {
         Call(j.engine.get(), L"BeginTrans");
         j.Execute("Update QSOs Set Name = 'B'", 128);
         Call(j.db.get(), L"Close");
         const std::string rollback = Call(j.engine.get(), L"Rollback").outcome;
         return rollback + " " + Names(j.log.Rows("SELECT Name FROM QSOs"));
       },
       "3034 Hans Hans"},
      {"more than five levels",
       [](Jet& j) {
         std::string outcomes;
         for (int level = 1; level <= 6; ++level) {
           outcomes += Call(j.engine.get(), L"BeginTrans").outcome + " ";
         }
         while (Call(j.engine.get(), L"Rollback").outcome == "ok") {
         }
         return outcomes;
       },
       "ok ok ok ok ok 3003 "},
      // Record set types and options.
      {"Edit on a snapshot",
       [&](Jet& j) { return Call(ObjectOf(j.Set(kQsos, 4)).get(), L"Edit").outcome; }, "3027"},
      {"AddNew on a forward-only set",
       [&](Jet& j) { return Call(ObjectOf(j.Set(kQsos, 8)).get(), L"AddNew").outcome; }, "3027"},
      {"Edit on a set opened dbReadOnly",
       [&](Jet& j) { return Call(ObjectOf(j.Set(kQsos, 2, 4)).get(), L"Edit").outcome; }, "3027"},
      {"FindFirst on a table-type set",
       [](Jet& j) {
         const UniqueVariant c = Arg(Value("Call = 'F5XX'"));
         return Call(ObjectOf(j.Set("QSOs")).get(), L"FindFirst", {&c}).outcome;
       },
       "3251"},
      {"an option DAO does not have",
       [&](Jet& j) {
         return j.Set(kQsos, 2, 1024).outcome + " " +
                j.Execute("Update QSOs Set Name = 'B'", 4096).outcome;
       },
       "3001 3001"},
      {"RecordCount the full count before MoveLast",
       [&](Jet& j) {
         const Object set = ObjectOf(j.Set(kQsos));
         const long before = Get(set.get(), L"RecordCount").value.Get().lVal;
         Call(set.get(), L"MoveLast");
         return std::to_string(before) + " " +
                std::to_string(Get(set.get(), L"RecordCount").value.Get().lVal);
       },
       "1 2"},
      // An update statement row by row, no implicit transaction.
      {"a row that cannot be changed failing the statement without dbFailOnError",
       [](Jet& j) {
         j.Open({"lock QSOs 2 3260"});
         const std::string outcome = j.Execute("Update QSOs Set Name = 'B'").outcome;
         return outcome + " " +
                std::to_string(Get(j.db.get(), L"RecordsAffected").value.Get().lVal) + " " +
                Names(j.log.Rows("SELECT Name FROM QSOs"));
       },
       "ok 1 B Hans"},
      {"an update taken back when it fails with dbFailOnError",
       [](Jet& j) {
         j.Open({"lock QSOs 2 3260"});
         const std::string outcome = j.Execute("Update QSOs Set Name = 'B'", 128).outcome;
         return outcome + " " + Names(j.log.Rows("SELECT Name FROM QSOs"));
       },
       "3260 B Hans"},
      {"no failure at the n-th write",
       [](Jet& j) {
         j.Open({"fault write 2 2004"});
         return j.Execute("Update QSOs Set Name = 'B'", 128).outcome;
       },
       "2004"},
      // The Jet SQL gate.
      {"||", [&](Jet& j) { return j.Set(kQsos + " Where Call || 'X' = 'F5XXX'").outcome; }, "3075"},
      {"!=", [&](Jet& j) { return j.Set(kQsos + " Where Call != 'A'").outcome; }, "3075"},
      {"LIMIT", [&](Jet& j) { return j.Set(kQsos + " Limit 1").outcome; }, "3131"},
      {"COLLATE", [&](Jet& j) { return j.Set(kQsos + " Where Call = 'a' Collate NoCase").outcome; },
       "3075"},
      {"CASE",
       [](Jet& j) {
         return j.Execute("Update QSOs Set Name = Case When 1 Then 'a' End", 128).outcome;
       },
       "3075"},
      {"CAST, IFNULL, COALESCE, SUBSTR",
       [&](Jet& j) {
         std::string outcomes;
         for (const char* condition : {"Cast(Freq As Text) = '14.2'", "IfNull(QSL_Rcvd, '') = ''",
                                       "Coalesce(QSL_Rcvd, '') = ''", "Substr(Call, 1, 1) = 'F'"}) {
           outcomes += j.Set(kQsos + " Where " + condition).outcome + " ";
         }
         return outcomes;
       },
       "3085 3085 3085 3085 "},
      {"% as a Like wildcard",
       [&](Jet& j) {
         const auto eof = [&](const char* pattern) {
           const Object set = ObjectOf(j.Set(kQsos + " Where Call Like '" + pattern + "'"));
           return Get(set.get(), L"EOF").value.Get().boolVal != VARIANT_FALSE ? "none" : "found";
         };
         return std::string(eof("F5%")) + " " + eof("F5*");
       },
       "none found"},
      {"rowid", [&](Jet& j) { return j.Set(kQsos + " Where rowid = 1").outcome; }, "3061"},
      {"row values",
       [&](Jet& j) {
         return j.Set(kQsos + " Where (Band, Mode) In (Select band, mode From PrintQueue)").outcome;
       },
       "3075"},
      {"a second statement after ';'",
       [](Jet& j) {
         return j.Execute("Update QSOs Set Name = 'B'; Update QSOs Set Name = 'C'", 128).outcome;
       },
       "3142"},
      {"Zorvik's date reader as DateValue",
       [&](Jet& j) {
         return j.Set(kQsos + " Where QSO_End >= DateValue(\"2004-05-01T00:00\")").outcome + " " +
                j.Set(kQsos + " Where QSO_End >= DateValue(\"May 1, 2004\")").outcome;
       },
       "3464 ok"},
      // Typed fields.
      {"values of any kind as I4, R8, BSTR or DATE",
       [](Jet& j) {
         for (const char* change :
              {"ALTER TABLE QSOs ADD COLUMN Power Single",
               "ALTER TABLE QSOs ADD COLUMN Confirmed YesNo",
               "ALTER TABLE QSOs ADD COLUMN Fee Currency",
               "ALTER TABLE QSOs ADD COLUMN Serial Long",
               "UPDATE QSOs SET Power = 100.5, Confirmed = -1, Fee = 1.25, Serial = 7"}) {
           j.log.Exec(change);
         }
         j.Open();
         const Object set = ObjectOf(j.Set("Select * From QSOs"));
         std::string kinds;
         for (const char* field :
              {"Call", "QSO_Begin", "Freq", "Power", "Confirmed", "Fee", "Serial"}) {
           kinds +=
               std::to_string(Get(j.Field(set.get(), field).get(), L"Value").value.Get().vt) + " ";
         }
         return kinds;
       },
       "8 7 5 4 11 6 3 "},
      {"a date stored as text rounded to the millisecond",
       [](Jet& j) {
         const double begin = 38108.0 + 12 / 24.0 + 34 / 1440.0 + 56 / 86400.0;
         const Object set = ObjectOf(j.Set("Select * From QSOs"));
         Call(set.get(), L"Edit");
         UniqueVariant date;
         VARIANT& v = *date.Receive();
         v.vt = VT_DATE;
         v.date = begin;
         Invoke(j.Field(set.get(), "QSO_Begin").get(), L"Value", DISPATCH_PROPERTYPUT, {&date});
         Call(set.get(), L"Update");
         const Answer back = Get(j.Field(set.get(), "QSO_Begin").get(), L"Value");
         return std::string(std::memcmp(&back.value.Get().date, &begin, sizeof begin) == 0
                                ? "the same"
                                : "another");
       },
       "the same"},
      {"a text longer than its field, a Null in a Required field, an empty text where none is "
       "allowed",
       [](Jet& j) {
         j.log.Exec("ALTER TABLE QSOs ADD COLUMN Grade NotEmpty Text(5)");
         j.log.Exec("ALTER TABLE QTHs ADD COLUMN Owner Text(5) NOT NULL DEFAULT 'me'");
         j.Open();
         std::string outcomes;
         const auto put = [&](const char* table, const char* field, const Value& value) {
           const Object set = ObjectOf(j.Set(std::string("Select * From ") + table));
           const bool adding = std::string(table) == "QTHs";
           Call(set.get(), adding ? L"AddNew" : L"Edit");
           const UniqueVariant v = Arg(value);
           const std::string assigned =
               Invoke(j.Field(set.get(), field).get(), L"Value", DISPATCH_PROPERTYPUT, {&v})
                   .outcome;
           outcomes += assigned == "ok" ? Call(set.get(), L"Update").outcome + " " : assigned + " ";
         };
         put("QSOs", "Call", Value(std::string(21, 'K')));
         put("QTHs", "Owner", Value());
         put("QSOs", "Grade", Value(""));
         put("QSOs", "QSO_Begin", Value("2004-05-01 12:00:00"));
         return outcomes;
       },
       "3163 3314 3315 3421 "},
      // Keysets.
      {"a row added in a rolled back level gone from the open set",
       [](Jet& j) {
         const Object set = ObjectOf(j.Set("Select * From QSOs"));
         Call(j.engine.get(), L"BeginTrans");
         Call(set.get(), L"AddNew");
         const UniqueVariant call = Arg(Value("NEW"));
         Invoke(j.Field(set.get(), "Call").get(), L"Value", DISPATCH_PROPERTYPUT, {&call});
         Call(set.get(), L"Update");
         Call(j.engine.get(), L"Rollback");
         Call(set.get(), L"MoveLast");
         return Get(j.Field(set.get(), "Call").get(), L"Value").outcome;
       },
       "3167"},
      // The lock file.
      {"a shared open without Jet's lock file",
       [](Jet& j) {
         const fs::path lockFile = logdb::Utf8Path(j.log.Folder()) / "log.ldb";
         std::string seen = fs::exists(lockFile) ? "there" : "missing";
         const UniqueVariant path = Arg(Value(j.jet));
         const Object again = ObjectOf(Call(j.engine.get(), L"OpenDatabase", {&path}));
         Call(j.db.get(), L"Close");
         seen += fs::exists(lockFile) ? " there" : " missing";
         Call(again.get(), L"Close");
         return seen + (fs::exists(lockFile) ? " there" : " missing");
       },
       "there there missing"},
      {"a folder where the lock file cannot be made",
       [](Jet& j) {
         Call(j.db.get(), L"Close");
         fs::create_directory(logdb::Utf8Path(j.log.Folder()) / "log.ldb");
         const UniqueVariant path = Arg(Value(j.jet));
         return Call(j.engine.get(), L"OpenDatabase", {&path}).outcome;
       },
       "3051"},
  };
  for (const Case& c : cases) {
    Jet jet;
    jet.Open();
    EXPECT_EQ(c.act(jet), c.expected) << c.leniency;
    while (Call(jet.engine.get(), L"Rollback").outcome == "ok") {
    }
  }
}

}  // namespace
}  // namespace zorvik::logops_test
