#pragma once

#include <string>

namespace zorvik::testing {

// The folder of the running test program (where the helper programs are built), with a trailing
// separator.
std::wstring ProgramDirectory();
// The temporary folder, with a trailing separator.
std::wstring TempDirectory();
// `arg` as one argument of a command line, as CommandLineToArgvW reads it back (quotes and the
// backslashes before them escaped; the empty text stays an argument).
std::wstring QuoteArgument(const std::wstring& arg);

}  // namespace zorvik::testing
