#pragma once

#include "logdb/dao/Automation.h"

namespace zorvik::logdb::dao {

// The ProgID DXKeeper's engine is created by: DAO 3.6, in-process (32-bit).
inline constexpr const wchar_t* kDao36ProgId = L"DAO.DBEngine.36";

// DAO's top object, DBEngine, created in-process by its ProgID: DAO 3.6, and in a 64-bit
// Zorvik, where DAO 3.6 cannot load, the Access database engine's DAO ("DAO.DBEngine.120", the
// same object model) when DAO 3.6 is not there. Needs COM initialised on the calling thread.
// Throws Failure 429 (ActiveX component can't create object) when neither is registered or the
// registered one cannot be loaded, saying what is missing and what COM answered.
Dispatch CreateDbEngine();

// Makes Database::Open open Jet logs with the DAO engine (DaoDatabase). The Windows program calls
// it once at start-up, before any log is opened.
void UseDaoForJetLogs();

}  // namespace zorvik::logdb::dao
