#pragma once

#include <windows.h>

#include <oaidl.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "core/Failure.h"
#include "logdb/Value.h"
#include "logdb/dao/ComHolders.h"

// A small late-bound automation object for the DAO stand-in: members by name (any letter case),
// reached only through GetIDsOfNames and Invoke, failures raised as DAO raises them
// (DISP_E_EXCEPTION, scode 0x800A0000 + the number, the description).
namespace zorvik::dao_standin {

using logdb::dao::UniqueCom;
using logdb::dao::UniqueVariant;

// The arguments of one call in their written order (automation hands them over last first).
class Arguments {
 public:
  explicit Arguments(const DISPPARAMS& parameters) : parameters_(parameters) {}
  // The value of argument `index`; throws 449 (argument not optional) when it is missing.
  logdb::Value At(std::size_t index) const;
  std::string Text(std::size_t index) const { return At(index).ToText(); }
  const VARIANT& Raw(std::size_t index) const;
  std::size_t Count() const { return parameters_.cArgs; }

 private:
  const DISPPARAMS& parameters_;
};

class AutomationObject : public IDispatch {
 public:
  // A member's work: the call's result (VT_EMPTY for none), or a thrown zorvik::Failure.
  using Handler = std::function<UniqueVariant(const Arguments&)>;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception,
                                   UINT* badArgument) override;

 protected:
  AutomationObject() = default;
  virtual ~AutomationObject() = default;
  // `get` answers calls and property gets, `put` property puts (none: not settable).
  void Member(const wchar_t* name, Handler get, Handler put = {});

 private:
  struct Entry {
    std::wstring name;
    Handler get, put;
  };
  std::atomic<ULONG> references_{1};
  std::vector<Entry> members_;
};

// A new object of type T with one reference, owned by the holder.
template <class T, class... Args>
UniqueCom<T> Make(Args&&... args) {
  return UniqueCom<T>(new T(std::forward<Args>(args)...));
}

// A result that carries `object` (a reference of its own).
UniqueVariant ObjectResult(IDispatch* object);
// A result that carries `value` as DAO's automation gives it (VariantValue.h).
UniqueVariant ValueResult(const logdb::Value& value);
UniqueVariant BoolResult(bool value);

}  // namespace zorvik::dao_standin
