#pragma once

#include <string>
#include <string_view>

namespace zorvik::host::win {

// The program keeps text as UTF-8; Win32 wants UTF-16 and ANSI hosts exchange text in the
// system's ANSI code page. Malformed input becomes U+FFFD rather than failing: these texts are
// read for display and comparison, never written back.

std::wstring ToWide(std::string_view utf8);
std::string ToUtf8(std::wstring_view wide);

// Text in the ANSI code page (what CF_TEXT carries) to UTF-8.
std::string AnsiToUtf8(std::string_view ansi);
// UTF-8 to the ANSI code page; characters the code page lacks become its default character.
std::string Utf8ToAnsi(std::string_view utf8);

}  // namespace zorvik::host::win
