#include "ui/win/WinPlatform.h"

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "host/win/WideText.h"
#include "zorvik/Version.h"

namespace zorvik::ui::win {

std::optional<VersionRecord> ReadVersionRecord(const std::wstring& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<char> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return std::nullopt;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  return VersionRecord{HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                       HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
}

std::wstring ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // cut short: try again with more room
  }
}

host::ProgramIdentity CurrentProgramIdentity() {
  const std::wstring path = ExecutablePath();
  const VersionRecord version = ReadVersionRecord(path).value_or(
      VersionRecord{version::kMajor, version::kMinor, version::kBuild, version::kRevision});
  return {
      .name = host::win::ToUtf8(std::filesystem::path(path).stem().wstring()),
      .major = version.major,
      .minor = version.minor,
      .revision = version.revision,
  };
}

std::string ProgramFolder() {
  return host::win::ToUtf8(std::filesystem::path(ExecutablePath()).parent_path().wstring());
}

std::string WithFourDigitYear(std::string pattern) {
  std::size_t at = 0;
  while ((at = pattern.find('y', at)) != std::string::npos) {
    std::size_t end = pattern.find_first_not_of('y', at);
    if (end == std::string::npos) end = pattern.size();
    if (end - at < 4) {
      pattern.replace(at, end - at, "yyyy");
      end = at + 4;
    }
    at = end;
  }
  return pattern;
}

std::string ShortDatePatternOf(const wchar_t* locale) {
  wchar_t pattern[LOCALE_NAME_MAX_LENGTH * 2] = {};
  if (!GetLocaleInfoEx(locale, LOCALE_SSHORTDATE, pattern, static_cast<int>(std::size(pattern)))) {
    return "M/d/yyyy";
  }
  return WithFourDigitYear(host::win::ToUtf8(pattern));
}

LocaleMonthNames MonthNamesOf(const wchar_t* locale) {
  LocaleMonthNames names;
  for (int month = 0; month < 12; ++month) {
    std::vector<std::wstring> spellings;
    for (const LCTYPE type : {LCTYPE{LOCALE_SMONTHNAME1}, LCTYPE{LOCALE_SABBREVMONTHNAME1}}) {
      for (const LCTYPE form : {LCTYPE{0}, LCTYPE{LOCALE_RETURN_GENITIVE_NAMES}}) {
        wchar_t name[80] = {};
        if (!GetLocaleInfoEx(locale, (type + month) | form, name, 80) || name[0] == L'\0') {
          continue;
        }
        spellings.emplace_back(name);
        for (const DWORD mapping : {DWORD{LCMAP_LOWERCASE}, DWORD{LCMAP_UPPERCASE}}) {
          wchar_t mapped[80] = {};
          if (LCMapStringEx(locale, mapping, name, -1, mapped, 80, nullptr, nullptr, 0)) {
            spellings.emplace_back(mapped);
          }
        }
      }
    }
    for (const std::wstring& spelling : spellings) {
      std::string text = host::win::ToUtf8(spelling);
      auto& known = names[month];
      if (std::find(known.begin(), known.end(), text) == known.end()) known.push_back(text);
    }
  }
  return names;
}

void UseLocaleDates(const wchar_t* locale) {
  SetShortDatePattern(ShortDatePatternOf(locale));
  SetLocaleMonthNames(MonthNamesOf(locale));
}

}  // namespace zorvik::ui::win
