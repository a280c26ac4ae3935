#pragma once

#include <windows.h>

#include <oaidl.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "core/Failure.h"
#include "logdb/dao/ComHolders.h"

// A small late-bound automation object for the DAO stand-in: members by name (any letter case),
// reached only through GetIDsOfNames and Invoke, checked as oleaut32 checks a call against a type
// library (ITypeInfo::Invoke, which DAO's own objects use): the member's kind against the call's
// flags, the number of arguments, a property put's DISPID_PROPERTYPUT, each argument coerced to
// its declared type. Failures of the member itself are raised as DAO raises them
// (DISP_E_EXCEPTION, scode 0x800A0000 + the number, the description).
namespace zorvik::dao_standin {

using logdb::dao::UniqueCom;
using logdb::dao::UniqueVariant;

// One declared parameter: the type the argument is coerced to (VT_VARIANT: taken as it comes,
// a reference followed), and whether it may be left out.
struct Param {
  VARTYPE type;
  bool optional = false;
};

// The arguments of one call, coerced, in their written order.
class Arguments {
 public:
  explicit Arguments(std::vector<UniqueVariant> values) : values_(std::move(values)) {}
  // Whether argument `index` was given (an optional one left out, or passed as "missing", was
  // not).
  bool Has(std::size_t index) const;
  const VARIANT& Raw(std::size_t index) const { return values_.at(index).Get(); }
  std::string Text(std::size_t index) const;  // a VT_BSTR argument, as UTF-8
  long Long(std::size_t index, long otherwise) const;

 private:
  std::vector<UniqueVariant> values_;
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
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception,
                                   UINT* badArgument) override;

 protected:
  AutomationObject() = default;
  virtual ~AutomationObject() = default;

  // A method: called with DISPATCH_METHOD.
  void Method(const wchar_t* name, std::vector<Param> params, Handler run);
  // A read-only property: DISPATCH_PROPERTYGET (a put is refused as a member not found).
  void Property(const wchar_t* name, Handler get, std::vector<Param> params = {});
  // A property that can be read and set; a put takes one value coerced to `putType`.
  void ReadWrite(const wchar_t* name, Handler get, Handler put, VARTYPE putType);
  // Makes the member last declared the object's default member (DISPID_VALUE).
  void IsDefault();

 private:
  enum class Kind { kMethod, kGet, kGetPut };
  struct Entry {
    std::wstring name;
    Kind kind;
    std::vector<Param> params;
    Handler get, put;
    VARTYPE putType = VT_VARIANT;
  };
  HRESULT Call(const Entry& member, WORD flags, const DISPPARAMS& parameters, VARIANT* result,
               EXCEPINFO* exception, UINT* badArgument);

  std::atomic<ULONG> references_{1};
  std::vector<Entry> members_;
  int default_ = -1;
};

// A new object of type T with one reference, owned by the holder.
template <class T, class... Args>
UniqueCom<T> Make(Args&&... args) {
  return UniqueCom<T>(new T(std::forward<Args>(args)...));
}

// A result that carries `object` (a reference of its own).
UniqueVariant ObjectResult(IDispatch* object);
UniqueVariant BoolResult(bool value);
UniqueVariant LongResult(long value);
UniqueVariant TextResult(const std::string& utf8);

}  // namespace zorvik::dao_standin
