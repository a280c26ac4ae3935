#pragma once

#include <windows.h>

#include <oleauto.h>

#include <memory>
#include <type_traits>
#include <utility>

// Owning holders for what COM automation hands out: BSTRs, VARIANTs, interface pointers and the
// thread's COM initialisation. Each releases what it holds when it goes, never throws, and can be
// moved but not copied.
namespace zorvik::logdb::dao {

struct BstrFree {
  void operator()(BSTR text) const noexcept { SysFreeString(text); }
};
// A BSTR owned by the holder (nullptr is the empty text, as COM reads it).
using UniqueBstr = std::unique_ptr<std::remove_pointer_t<BSTR>, BstrFree>;

struct ComRelease {
  void operator()(IUnknown* object) const noexcept { object->Release(); }
};
// One reference to a COM object, released with the holder.
template <class Interface>
using UniqueCom = std::unique_ptr<Interface, ComRelease>;

// A VARIANT cleared (its BSTR freed, its object released) with the holder. Starts as VT_EMPTY.
class UniqueVariant {
 public:
  UniqueVariant() noexcept { VariantInit(&v_); }
  ~UniqueVariant() { VariantClear(&v_); }
  UniqueVariant(UniqueVariant&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }
  UniqueVariant& operator=(UniqueVariant&& other) noexcept {
    if (this != &other) {
      VariantClear(&v_);
      v_ = other.v_;
      VariantInit(&other.v_);
    }
    return *this;
  }
  UniqueVariant(const UniqueVariant&) = delete;
  UniqueVariant& operator=(const UniqueVariant&) = delete;

  const VARIANT& Get() const noexcept { return v_; }
  // For filling as an out-parameter: the current content is cleared first.
  VARIANT* Receive() noexcept {
    VariantClear(&v_);
    return &v_;
  }
  // Hands the content over to the caller, who must clear it; the holder is left VT_EMPTY.
  VARIANT Release() noexcept {
    VARIANT content = v_;
    VariantInit(&v_);
    return content;
  }

 private:
  VARIANT v_;
};

// COM initialised on this thread as a single-threaded apartment for the holder's lifetime. A
// thread that already runs COM in another mode keeps it (and the holder then undoes nothing):
// calls still work, through COM's own marshalling.
class ComApartment {
 public:
  explicit ComApartment(DWORD flags = COINIT_APARTMENTTHREADED) noexcept
      : initialised_(SUCCEEDED(CoInitializeEx(nullptr, flags))) {}
  ~ComApartment() {
    if (initialised_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialised_;
};

}  // namespace zorvik::logdb::dao
