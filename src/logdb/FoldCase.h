#pragma once

#include <string>
#include <string_view>

namespace zorvik::logdb {

// ASCII lower case: the folding the log's text columns use for comparisons (COLLATE NOCASE, Jet),
// and the one field names match by.
inline std::string FoldCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

}  // namespace zorvik::logdb
