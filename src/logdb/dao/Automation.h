#pragma once

#include <windows.h>

#include <oaidl.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "core/Failure.h"
#include "logdb/dao/ComHolders.h"

// Late-bound calls into an automation object (IDispatch), as VB makes them: members by name,
// arguments as VARIANTs, failures as numbered errors.
namespace zorvik::logdb::dao {

// How an object's member is reached.
enum class InvokeKind { kMethod, kPropertyGet, kPropertyPut };

// "0x80040154": an HRESULT as Windows' documentation writes it.
std::string HresultText(HRESULT result);

// The failure an automation call ended with, numbered as VB numbers it: an exception the object
// raised (DISP_E_EXCEPTION) keeps the number it gave (wCode, or scode 0x800A0000 + n: Jet's and
// DAO's own numbers, 3021 and so on) and its description; a member the object does not have is
// 438; a wrong argument type 13, an overflow 6, a wrong number of arguments 450, lack of memory 7;
// anything else is 440 (automation error) with the HRESULT in the description. `member` names the
// call in descriptions that would otherwise say nothing. `exception` may be null; its texts are
// freed here.
Failure AutomationFailure(HRESULT result, EXCEPINFO* exception, const std::wstring& member);

// One automation object and the dispatch ids of the members called on it so far. Not copyable;
// the object is released with the holder. Every call throws zorvik::Failure (AutomationFailure)
// when the object fails it.
class Dispatch {
 public:
  Dispatch() = default;
  explicit Dispatch(UniqueCom<IDispatch> object) : object_(std::move(object)) {}
  Dispatch(Dispatch&&) noexcept = default;
  Dispatch& operator=(Dispatch&&) noexcept = default;

  explicit operator bool() const noexcept { return object_ != nullptr; }

  // Calls `member` with `arguments` (in their written order; not taken over) and returns its
  // result (VT_EMPTY for none). A property put passes the one argument as the new value.
  UniqueVariant Invoke(const wchar_t* member, InvokeKind kind,
                       std::initializer_list<const VARIANT*> arguments = {});

  UniqueVariant Call(const wchar_t* member, std::initializer_list<const VARIANT*> arguments = {}) {
    return Invoke(member, InvokeKind::kMethod, arguments);
  }
  UniqueVariant Get(const wchar_t* member, std::initializer_list<const VARIANT*> arguments = {}) {
    return Invoke(member, InvokeKind::kPropertyGet, arguments);
  }
  void Put(const wchar_t* member, const VARIANT& value) {
    Invoke(member, InvokeKind::kPropertyPut, {&value});
  }
  // A member whose result is an object (Fields, Item, OpenRecordset, ...). Throws Failure 13
  // when the result is no object.
  Dispatch Object(const wchar_t* member, InvokeKind kind,
                  std::initializer_list<const VARIANT*> arguments = {});

 private:
  DISPID IdOf(const wchar_t* member);

  UniqueCom<IDispatch> object_;
  std::vector<std::pair<std::wstring, DISPID>> ids_;
};

}  // namespace zorvik::logdb::dao
