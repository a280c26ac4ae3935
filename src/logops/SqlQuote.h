#pragma once

#include <string>
#include <string_view>

namespace zorvik::logdb {

// Values spliced into statements and find criteria go through these, so that a call sign such as
// O'BRIEN or a date typed with a quote can neither break a statement nor change its meaning.
// Ordinary values come back unchanged, so the statements read exactly as written.

// For a value inside a single-quoted literal ('...'): every apostrophe is doubled.
std::string QuoteText(std::string_view value);

// For a value inside a double-quoted literal ("..."), as DateValue("...") takes it: every double
// quote is doubled.
std::string QuoteDoubleQuoted(std::string_view value);

}  // namespace zorvik::logdb
