// DXKeeper's settings on Windows: the registry values the program's settings store reads.
#include "SimSettings.h"

#include <windows.h>

#include <memory>
#include <type_traits>

#include "host/HostMonitor.h"
#include "host/win/RegistrySettingsStore.h"
#include "host/win/WideText.h"

namespace dxkeeper_sim {
namespace {

struct KeyCloser {
  void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

}  // namespace

std::string WriteHostSettings(const std::string& logPath, const std::string& callSign) {
  using zorvik::host::win::ToUtf8;
  using zorvik::host::win::ToWide;
  const std::wstring path = zorvik::host::win::RegistrySettingsStore::KeyPath(
      zorvik::host::kHostApplication, zorvik::host::kHostSection);
  const std::string where = "HKEY_CURRENT_USER\\" + ToUtf8(path);
  HKEY raw = nullptr;
  LSTATUS rc = RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                               nullptr, &raw, nullptr);
  if (rc != ERROR_SUCCESS) return "cannot create " + where + " (error " + std::to_string(rc) + ")";
  const UniqueKey key(raw);
  for (const auto& [name, value] : {std::pair{L"LogPathName", logPath}, {L"CallSign", callSign}}) {
    const std::wstring text = ToWide(value);
    rc = RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    if (rc != ERROR_SUCCESS) {
      return "cannot write " + where + "\\" + ToUtf8(name) + " (error " + std::to_string(rc) + ")";
    }
  }
  return {};
}

}  // namespace dxkeeper_sim
