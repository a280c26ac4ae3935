#include "logdb/dao/DaoEngine.h"

#include <string>

#include "logdb/LogEngines.h"
#include "logdb/dao/DaoDatabase.h"
#include "logdb/dao/VariantValue.h"

namespace zorvik::logdb::dao {
namespace {

#ifdef _WIN64
constexpr const wchar_t* kProgIds[] = {kDao36ProgId, L"DAO.DBEngine.120"};
#else
constexpr const wchar_t* kProgIds[] = {kDao36ProgId};
#endif

}  // namespace

Dispatch CreateDbEngine() {
  std::string answers;
  for (const wchar_t* progId : kProgIds) {
    if (!answers.empty()) answers += "; ";
    answers += FromWide(progId) + ": ";
    CLSID classId{};
    HRESULT result = CLSIDFromProgID(progId, &classId);
    if (FAILED(result)) {
      answers +=
          "CLSIDFromProgID " + HresultText(result);  // 0x800401F3: the ProgID is not registered
      continue;
    }
    IDispatch* engine = nullptr;
    result = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(&engine));
    if (SUCCEEDED(result) && engine != nullptr) return Dispatch(UniqueCom<IDispatch>(engine));
    // 0x80040154: the class is not registered; 0x8007007E: its DLL is missing.
    answers += "CoCreateInstance " + HresultText(result);
  }
  throw Failure(err::kCannotCreateObject,
                "ActiveX component can't create object: DAO 3.6 (DAO.DBEngine.36), the database "
                "engine that opens DXKeeper's Jet logs (.mdb), is not registered on this "
                "computer or cannot be loaded. DAO 3.6 comes with Windows and with DXKeeper; "
                "installing DXKeeper again registers it. (" +
                    answers + ")");
}

void UseDaoForJetLogs() {
  SetLogEngine(LogFileKind::kJet, [](const std::string& path) -> std::unique_ptr<Database> {
    return DaoDatabase::Open(path);
  });
}

}  // namespace zorvik::logdb::dao
