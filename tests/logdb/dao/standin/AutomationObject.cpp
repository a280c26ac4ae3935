#include "AutomationObject.h"

#include <exception>

#include "logdb/dao/VariantValue.h"

namespace zorvik::dao_standin {
namespace {

constexpr int kArgumentNotOptional = 449;

void Raise(EXCEPINFO* exception, int number, const std::string& description) {
  if (exception == nullptr) return;
  *exception = EXCEPINFO{};
  exception->bstrSource = logdb::dao::ToBstr("DAO stand-in").release();
  exception->bstrDescription = logdb::dao::ToBstr(description).release();
  exception->scode = static_cast<SCODE>(0x800A0000u | static_cast<unsigned>(number));
}

}  // namespace

const VARIANT& Arguments::Raw(std::size_t index) const {
  if (index >= parameters_.cArgs) throw Failure(kArgumentNotOptional, "Argument not optional");
  return parameters_.rgvarg[parameters_.cArgs - 1 - index];
}

logdb::Value Arguments::At(std::size_t index) const {
  return logdb::dao::ToValue(Raw(index));
}

HRESULT AutomationObject::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG AutomationObject::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT AutomationObject::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT AutomationObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  HRESULT outcome = S_OK;
  for (UINT i = 0; i < count; ++i) {
    ids[i] = DISPID_UNKNOWN;
    for (std::size_t m = 0; m < members_.size(); ++m) {
      if (_wcsicmp(members_[m].name.c_str(), names[i]) == 0) ids[i] = static_cast<DISPID>(m + 1);
    }
    if (ids[i] == DISPID_UNKNOWN) outcome = DISP_E_UNKNOWNNAME;
  }
  return outcome;
}

HRESULT AutomationObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                 VARIANT* result, EXCEPINFO* exception, UINT*) {
  if (id < 1 || static_cast<std::size_t>(id) > members_.size()) return DISP_E_MEMBERNOTFOUND;
  const Entry& member = members_[static_cast<std::size_t>(id) - 1];
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  const Handler& handler = put ? member.put : member.get;
  if (!handler) return DISP_E_MEMBERNOTFOUND;
  static const DISPPARAMS kNone{};
  try {
    UniqueVariant answer = handler(Arguments(parameters ? *parameters : kNone));
    if (result != nullptr) *result = answer.Release();
    return S_OK;
  } catch (const Failure& f) {
    Raise(exception, f.Number(), f.Description());
  } catch (const std::exception& e) {
    Raise(exception, err::kEngineError, e.what());
  }
  return DISP_E_EXCEPTION;
}

void AutomationObject::Member(const wchar_t* name, Handler get, Handler put) {
  members_.push_back({name, std::move(get), std::move(put)});
}

UniqueVariant ObjectResult(IDispatch* object) {
  UniqueVariant result;
  VARIANT& v = *result.Receive();
  v.vt = VT_DISPATCH;
  v.pdispVal = object;
  object->AddRef();
  return result;
}

UniqueVariant ValueResult(const logdb::Value& value) {
  return logdb::dao::ToVariant(value);
}

UniqueVariant BoolResult(bool value) {
  UniqueVariant result;
  VARIANT& v = *result.Receive();
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return result;
}

}  // namespace zorvik::dao_standin
