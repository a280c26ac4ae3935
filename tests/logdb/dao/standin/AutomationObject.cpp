#include "AutomationObject.h"

#include <exception>

#include "logdb/dao/VariantValue.h"

namespace zorvik::dao_standin {
namespace {

void Raise(EXCEPINFO* exception, int number, const std::string& description) {
  if (exception == nullptr) return;
  *exception = EXCEPINFO{};
  exception->bstrSource = logdb::dao::ToBstr("DAO.DBEngine").release();
  exception->bstrDescription = logdb::dao::ToBstr(description).release();
  exception->scode = static_cast<SCODE>(0x800A0000u | static_cast<unsigned>(number));
}

// An argument left out in the middle of a call: VB passes VT_ERROR with DISP_E_PARAMNOTFOUND.
bool IsMissing(const VARIANT& v) {
  return v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND;
}

// The argument as the parameter's type, as oleaut32 coerces it; the HRESULT of a failed coercion
// (DISP_E_TYPEMISMATCH, DISP_E_OVERFLOW).
HRESULT Coerce(const VARIANT& argument, VARTYPE type, UniqueVariant& out) {
  UniqueVariant plain;
  HRESULT result = VariantCopyInd(plain.Receive(), const_cast<VARIANT*>(&argument));
  if (FAILED(result)) return DISP_E_TYPEMISMATCH;
  if (type == VT_VARIANT || plain.Get().vt == type) {
    out = std::move(plain);
    return S_OK;
  }
  result = VariantChangeType(out.Receive(), const_cast<VARIANT*>(&plain.Get()), 0, type);
  if (result == DISP_E_OVERFLOW) return DISP_E_OVERFLOW;
  return FAILED(result) ? DISP_E_TYPEMISMATCH : S_OK;
}

}  // namespace

bool Arguments::Has(std::size_t index) const {
  return index < values_.size() && values_[index].Get().vt != VT_EMPTY;
}

std::string Arguments::Text(std::size_t index) const {
  const VARIANT& v = Raw(index);
  return v.vt == VT_BSTR ? logdb::dao::FromBstr(v.bstrVal) : std::string();
}

long Arguments::Long(std::size_t index, long otherwise) const {
  if (!Has(index)) return otherwise;
  const VARIANT& v = Raw(index);
  return v.vt == VT_I4 ? v.lVal : otherwise;
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
    // Only the member's own name; named arguments are not taken.
    if (i > 0) {
      outcome = DISP_E_UNKNOWNNAME;
      continue;
    }
    for (std::size_t m = 0; m < members_.size(); ++m) {
      if (_wcsicmp(members_[m].name.c_str(), names[i]) == 0) ids[i] = static_cast<DISPID>(m + 1);
    }
    if (ids[i] == DISPID_UNKNOWN) outcome = DISP_E_UNKNOWNNAME;
  }
  return outcome;
}

HRESULT AutomationObject::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters,
                                 VARIANT* result, EXCEPINFO* exception, UINT* badArgument) {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  std::size_t index = 0;
  if (id == DISPID_VALUE && default_ >= 0) {
    index = static_cast<std::size_t>(default_);
  } else if (id >= 1 && static_cast<std::size_t>(id) <= members_.size()) {
    index = static_cast<std::size_t>(id) - 1;
  } else {
    return DISP_E_MEMBERNOTFOUND;
  }
  static const DISPPARAMS kNone{};
  return Call(members_[index], flags, parameters ? *parameters : kNone, result, exception,
              badArgument);
}

HRESULT AutomationObject::Call(const Entry& member, WORD flags, const DISPPARAMS& parameters,
                               VARIANT* result, EXCEPINFO* exception, UINT* badArgument) {
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  std::vector<UniqueVariant> values;
  if (put) {
    if (member.kind != Kind::kGetPut) return DISP_E_MEMBERNOTFOUND;
    // The new value is the one named argument DISPID_PROPERTYPUT; these properties take no index.
    if (parameters.cNamedArgs != 1 || parameters.rgdispidNamedArgs == nullptr ||
        parameters.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
      return DISP_E_PARAMNOTOPTIONAL;
    }
    if (parameters.cArgs != 1) return DISP_E_BADPARAMCOUNT;
    values.emplace_back();
    const HRESULT coerced = Coerce(parameters.rgvarg[0], member.putType, values.back());
    if (FAILED(coerced)) {
      if (badArgument) *badArgument = 0;
      return coerced;
    }
  } else {
    const bool wanted = member.kind == Kind::kMethod ? (flags & DISPATCH_METHOD) != 0
                                                     : (flags & DISPATCH_PROPERTYGET) != 0;
    if (!wanted) return DISP_E_MEMBERNOTFOUND;
    if (parameters.cNamedArgs != 0) return DISP_E_PARAMNOTFOUND;
    std::size_t required = 0;
    for (const Param& p : member.params) required += p.optional ? 0 : 1;
    if (parameters.cArgs < required || parameters.cArgs > member.params.size()) {
      return DISP_E_BADPARAMCOUNT;
    }
    for (UINT i = 0; i < parameters.cArgs; ++i) {
      const UINT at = parameters.cArgs - 1 - i;  // the arguments come last first
      const VARIANT& argument = parameters.rgvarg[at];
      values.emplace_back();
      if (IsMissing(argument)) {
        if (!member.params[i].optional) return DISP_E_PARAMNOTOPTIONAL;
        continue;  // stays VT_EMPTY: not given
      }
      const HRESULT coerced = Coerce(argument, member.params[i].type, values.back());
      if (FAILED(coerced)) {
        if (badArgument) *badArgument = at;
        return coerced;
      }
    }
  }
  try {
    const Handler& handler = put ? member.put : member.get;
    UniqueVariant answer = handler(Arguments(std::move(values)));
    if (result != nullptr && !put) *result = answer.Release();
    return S_OK;
  } catch (const Failure& f) {
    Raise(exception, f.Number(), f.Description());
  } catch (const std::exception& e) {
    Raise(exception, err::kEngineError, e.what());
  }
  return DISP_E_EXCEPTION;
}

void AutomationObject::Method(const wchar_t* name, std::vector<Param> params, Handler run) {
  members_.push_back({name, Kind::kMethod, std::move(params), std::move(run), {}, VT_VARIANT});
}

void AutomationObject::Property(const wchar_t* name, Handler get, std::vector<Param> params) {
  members_.push_back({name, Kind::kGet, std::move(params), std::move(get), {}, VT_VARIANT});
}

void AutomationObject::ReadWrite(const wchar_t* name, Handler get, Handler put, VARTYPE putType) {
  members_.push_back({name, Kind::kGetPut, {}, std::move(get), std::move(put), putType});
}

void AutomationObject::IsDefault() {
  default_ = static_cast<int>(members_.size()) - 1;
}

UniqueVariant ObjectResult(IDispatch* object) {
  UniqueVariant result;
  VARIANT& v = *result.Receive();
  v.vt = VT_DISPATCH;
  v.pdispVal = object;
  object->AddRef();
  return result;
}

UniqueVariant BoolResult(bool value) {
  UniqueVariant result;
  VARIANT& v = *result.Receive();
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return result;
}

UniqueVariant LongResult(long value) {
  UniqueVariant result;
  VARIANT& v = *result.Receive();
  v.vt = VT_I4;
  v.lVal = value;
  return result;
}

UniqueVariant TextResult(const std::string& utf8) {
  UniqueVariant result;
  VARIANT& v = *result.Receive();
  v.vt = VT_BSTR;
  v.bstrVal = logdb::dao::ToBstr(utf8).release();
  return result;
}

}  // namespace zorvik::dao_standin
