// The in-process server of the DAO stand-in: the class factory of DAO 3.6's DBEngine class and
// the two exports COM loads an in-process server by. Registered in the test Wine prefix only
// (scripts/dao-standin); never part of Zorvik.
#include <windows.h>

#include "StandInObjects.h"

namespace zorvik::dao_standin {
namespace {

// DAO 3.6's DBEngine class, whose ProgID is "DAO.DBEngine.36".
constexpr CLSID kDbEngine36 = {
    0x00000100, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};

class Factory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (iid != IID_IUnknown && iid != IID_IClassFactory) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = this;
    return S_OK;
  }
  // The factory is one static object; COM's references to it count nothing.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    // DAO's DBEngine is one per process: every creation gives the same object.
    return Engine::Instance().QueryInterface(iid, object);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory factory;

}  // namespace
}  // namespace zorvik::dao_standin

// Stays loaded once loaded: test processes are short, and objects may outlive a CoUninitialize.
extern "C" HRESULT __stdcall DllCanUnloadNow() {
  return S_FALSE;
}

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID classId, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (classId != zorvik::dao_standin::kDbEngine36) return CLASS_E_CLASSNOTAVAILABLE;
  return zorvik::dao_standin::factory.QueryInterface(iid, object);
}
