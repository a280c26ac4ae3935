#include "host/win/RegistrySettingsStore.h"

#include <windows.h>

#include <string_view>

#include "host/win/WideText.h"

namespace zorvik::host::win {
namespace {

constexpr std::wstring_view kSettingsRoot = L"Software\\VB and VBA Program Settings\\";

// Names that would move the lookup to another key (a separator) or to a key's default value (an
// empty name) do not name a setting.
bool IsPlainName(const std::string& name) {
  return !name.empty() && name.find('\\') == std::string::npos;
}

}  // namespace

std::wstring RegistrySettingsStore::KeyPath(const std::string& application,
                                            const std::string& section) {
  return std::wstring(kSettingsRoot) + ToWide(application) + L"\\" + ToWide(section);
}

std::string RegistrySettingsStore::GetSetting(const std::string& application,
                                              const std::string& section,
                                              const std::string& key) const {
  if (!IsPlainName(application) || !IsPlainName(section) || key.empty()) return {};
  const std::wstring subKey = KeyPath(application, section);
  const std::wstring value = ToWide(key);
  constexpr DWORD kFlags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;

  // The value may change between asking for its size and reading it: ask again until it fits.
  std::wstring buffer;
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD bytes = 0;
    LSTATUS rc = RegGetValueW(HKEY_CURRENT_USER, subKey.c_str(), value.c_str(), kFlags, nullptr,
                              nullptr, &bytes);
    if (rc != ERROR_SUCCESS) return {};
    buffer.assign(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD capacity = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    rc = RegGetValueW(HKEY_CURRENT_USER, subKey.c_str(), value.c_str(), kFlags, nullptr,
                      buffer.data(), &capacity);
    if (rc == ERROR_MORE_DATA) continue;
    if (rc != ERROR_SUCCESS) return {};
    // RegGetValue terminates the text; an embedded NUL ends it, as it would for any C caller.
    buffer.resize(wcsnlen(buffer.c_str(), buffer.size()));
    return ToUtf8(buffer);
  }
  return {};
}

}  // namespace zorvik::host::win
