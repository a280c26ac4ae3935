#include "logdb/dao/Automation.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "logdb/dao/VariantValue.h"

namespace zorvik::logdb::dao {
namespace {

// VB's numbers for the automation failures that are not the object's own.
constexpr int kOutOfMemory = 7;
constexpr int kNoSuchMember = 438;  // "Object doesn't support this property or method"
constexpr int kAutomationError = 440;
constexpr int kWrongArguments = 450;

// Errors raised by VB-style automation objects carry their number in the low word.
constexpr HRESULT kControlFacilityMask = static_cast<HRESULT>(0xFFFF0000);
constexpr HRESULT kControlFacility = static_cast<HRESULT>(0x800A0000);

Failure FailureOfHresult(HRESULT result, const std::string& member, std::string description) {
  if ((result & kControlFacilityMask) == kControlFacility) {
    if (description.empty()) description = "Application-defined or object-defined error";
    return Failure(static_cast<int>(result & 0xFFFF), description);
  }
  switch (result) {
    case DISP_E_MEMBERNOTFOUND:
    case DISP_E_UNKNOWNNAME:
      return Failure(kNoSuchMember,
                     "Object doesn't support this property or method (" + member + ")");
    case DISP_E_TYPEMISMATCH:
      return Failure(err::kTypeMismatch, "Type mismatch (" + member + ")");
    case DISP_E_OVERFLOW:
      return Failure(err::kOverflow, "Overflow (" + member + ")");
    case DISP_E_BADPARAMCOUNT:
    case DISP_E_PARAMNOTOPTIONAL:
      return Failure(kWrongArguments,
                     "Wrong number of arguments or invalid property assignment (" + member + ")");
    case E_OUTOFMEMORY:
      return Failure(kOutOfMemory, "Out of memory (" + member + ")");
    default:
      if (description.empty()) description = "Automation error";
      return Failure(kAutomationError,
                     description + " (" + member + ": " + HresultText(result) + ")");
  }
}

}  // namespace

std::string HresultText(HRESULT result) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(result));
  return text;
}

Failure AutomationFailure(HRESULT result, EXCEPINFO* exception, const std::wstring& member) {
  const std::string name = FromWide(member);
  if (result != DISP_E_EXCEPTION || exception == nullptr) {
    return FailureOfHresult(result, name, {});
  }
  if (exception->pfnDeferredFillIn != nullptr) exception->pfnDeferredFillIn(exception);
  const UniqueBstr source(exception->bstrSource), help(exception->bstrHelpFile);
  const UniqueBstr described(exception->bstrDescription);
  std::string description = FromBstr(described.get());
  if (exception->wCode != 0) {
    if (description.empty()) description = "Application-defined or object-defined error";
    return Failure(exception->wCode, description);
  }
  return FailureOfHresult(exception->scode, name, std::move(description));
}

DISPID Dispatch::IdOf(const wchar_t* member) {
  for (const auto& [name, id] : ids_) {
    if (name == member) return id;
  }
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(member)};
  const HRESULT result = object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(result)) throw AutomationFailure(result, nullptr, member);
  ids_.emplace_back(member, id);
  return id;
}

UniqueVariant Dispatch::Invoke(const wchar_t* member, InvokeKind kind,
                               std::initializer_list<const VARIANT*> arguments) {
  if (!object_) {
    throw Failure(err::kObjectNotSet, "Object variable or With block variable not set");
  }
  const DISPID id = IdOf(member);
  // Automation takes the arguments last first. Shallow copies: the caller keeps ownership.
  std::vector<VARIANT> reversed;
  reversed.reserve(arguments.size());
  for (auto it = std::rbegin(arguments); it != std::rend(arguments); ++it) {
    reversed.push_back(**it);
  }
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  WORD flags = DISPATCH_METHOD;
  if (kind == InvokeKind::kPropertyGet) flags = DISPATCH_PROPERTYGET | DISPATCH_METHOD;
  if (kind == InvokeKind::kPropertyPut) {
    flags = DISPATCH_PROPERTYPUT;
    parameters.rgdispidNamedArgs = &putId;
    parameters.cNamedArgs = 1;
  }
  UniqueVariant result;
  EXCEPINFO exception;
  std::memset(&exception, 0, sizeof exception);
  UINT badArgument = 0;
  const HRESULT outcome = object_->Invoke(
      id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters,
      kind == InvokeKind::kPropertyPut ? nullptr : result.Receive(), &exception, &badArgument);
  if (FAILED(outcome)) throw AutomationFailure(outcome, &exception, member);
  return result;
}

Dispatch Dispatch::Object(const wchar_t* member, InvokeKind kind,
                          std::initializer_list<const VARIANT*> arguments) {
  const UniqueVariant result = Invoke(member, kind, arguments);
  const VARIANT& v = result.Get();
  IUnknown* unknown = nullptr;
  if (v.vt == VT_DISPATCH) unknown = v.pdispVal;
  if (v.vt == VT_UNKNOWN) unknown = v.punkVal;
  if (v.vt != VT_DISPATCH && v.vt != VT_UNKNOWN) {
    throw Failure(err::kTypeMismatch, "Type mismatch: " + FromWide(member) + " gave no object");
  }
  if (unknown == nullptr) {
    throw Failure(err::kObjectNotSet,
                  "Object variable or With block variable not set (" + FromWide(member) + ")");
  }
  IDispatch* object = nullptr;
  if (FAILED(unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&object)))) {
    throw Failure(err::kTypeMismatch, "Type mismatch: " + FromWide(member) + " gave no object");
  }
  return Dispatch(UniqueCom<IDispatch>(object));
}

}  // namespace zorvik::logdb::dao
