#include "logops/SqlQuote.h"

namespace zorvik::logdb {
namespace {

std::string DoubleEvery(std::string_view value, char quote) {
  std::string out;
  out.reserve(value.size() + 2);
  for (char c : value) {
    out.push_back(c);
    if (c == quote) out.push_back(c);
  }
  return out;
}

}  // namespace

std::string QuoteText(std::string_view value) {
  return DoubleEvery(value, '\'');
}

std::string QuoteDoubleQuoted(std::string_view value) {
  return DoubleEvery(value, '"');
}

}  // namespace zorvik::logdb
