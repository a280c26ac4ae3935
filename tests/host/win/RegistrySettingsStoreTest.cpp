// DXKeeper's settings in the registry, written by the test itself under an application name of
// its own and removed afterwards.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "host/Platform.h"
#include "host/win/WideText.h"

namespace zorvik::testing {
namespace {

using host::win::ToWide;

class RegistrySettingsStore : public ::testing::Test {
 protected:
  const std::string app = "ZorvikWindowsTest" + std::to_string(GetCurrentProcessId());
  const std::wstring root = L"Software\\VB and VBA Program Settings\\" + ToWide(app);

  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, root.c_str()); }

  // Writes raw registry data, so that the test can store what a careless writer would.
  void Write(const std::string& section, const std::string& key, DWORD type, const void* data,
             size_t bytes) {
    HKEY hkey = nullptr;
    const std::wstring path = root + L"\\" + ToWide(section);
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                             KEY_SET_VALUE, nullptr, &hkey, nullptr));
    EXPECT_EQ(ERROR_SUCCESS,
              RegSetValueExW(hkey, ToWide(key).c_str(), 0, type, static_cast<const BYTE*>(data),
                             static_cast<DWORD>(bytes)));
    RegCloseKey(hkey);
  }
  void WriteText(const std::string& section, const std::string& key, const std::wstring& text,
                 DWORD type = REG_SZ) {
    Write(section, key, type, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  }
};

TEST_F(RegistrySettingsStore, ReadsTextValuesAndAnythingElseAsEmpty) {
  const std::wstring path = L"C:\\Logs\\Ærø – 東京.mdb";
  const std::wstring unterminated = L"no NUL at the end";
  const std::wstring embedded(L"before\0after", 12);
  const DWORD number = 42;
  const BYTE binary[] = {'a', 'b', 0};

  WriteText("Configuration", "LogPathName", path);
  WriteText("Configuration", "CallSign", L"DL1ABC");
  WriteText("Configuration", "Empty", L"");
  WriteText("Configuration", "Long", std::wstring(40000, L'q'));
  WriteText("Configuration", "Expand", L"%APPDATA%\\x", REG_EXPAND_SZ);
  Write("Configuration", "Unterminated", REG_SZ, unterminated.data(),
        unterminated.size() * sizeof(wchar_t));
  Write("Configuration", "Embedded", REG_SZ, embedded.data(), embedded.size() * sizeof(wchar_t));
  Write("Configuration", "Number", REG_DWORD, &number, sizeof number);
  Write("Configuration", "Binary", REG_BINARY, binary, sizeof binary);
  WriteText("Configuration", "Multi", std::wstring(L"a\0b\0", 4), REG_MULTI_SZ);

  auto store = host::MakeSettingsStore();
  struct Case {
    const char* section;
    const char* key;
    std::string expected;
  } cases[] = {
      {"Configuration", "LogPathName", "C:\\Logs\\Ærø – 東京.mdb"},
      {"Configuration", "logpathname", "C:\\Logs\\Ærø – 東京.mdb"},  // names ignore case
      {"Configuration", "CallSign", "DL1ABC"},
      {"Configuration", "Empty", ""},
      {"Configuration", "Long", std::string(40000, 'q')},
      {"Configuration", "Expand", "%APPDATA%\\x"},  // as stored, not expanded
      {"Configuration", "Unterminated", "no NUL at the end"},
      {"Configuration", "Embedded", "before"},
      {"Configuration", "Number", ""},
      {"Configuration", "Binary", ""},
      {"Configuration", "Multi", ""},
      {"Configuration", "Missing", ""},
      {"Configuration", "", ""},  // the key's default value is no setting
      {"NoSection", "LogPathName", ""},
      {"", "LogPathName", ""},
      {"Configuration\\..", "LogPathName", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, store->GetSetting(app, c.section, c.key)) << c.section << "/" << c.key;
  }
  EXPECT_EQ("", store->GetSetting(app + "Missing", "Configuration", "CallSign"));
}

}  // namespace
}  // namespace zorvik::testing
