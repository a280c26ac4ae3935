#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik::logtools {

// One ADIF record (or the header): field names upper-cased, values as raw bytes. A field named
// twice keeps its first value.
struct AdifRecord {
  std::size_t number = 0;      // 1-based position among the records; 0 for the header
  std::size_t byteOffset = 0;  // where the record starts in the file, for messages
  std::map<std::string, std::string> fields;

  // The value of a field (name in any case), or nullopt when the record does not have it.
  std::optional<std::string_view> Get(std::string_view name) const;
};

// Something wrong in the file that did not stop the reading. record is 0 for the header or for
// text outside any record.
struct AdifProblem {
  std::size_t record = 0;
  std::string message;
};

struct AdifDocument {
  AdifRecord header;
  std::vector<AdifRecord> records;
  std::vector<AdifProblem> problems;
};

// Reads ADIF text (the .adi form). The rules loggers rely on:
// - A file whose first character is not "<" starts with a free-text header that ends at <EOH>;
//   a UTF-8 byte order mark is skipped first. Without <EOH> the records are read from the start.
// - A field is <NAME:LENGTH> or <NAME:LENGTH:TYPE>, tags in any case; LENGTH counts bytes, so
//   the value may hold "<", line breaks or multi-byte characters.
// - A record ends at <EOR>. Fields after the last <EOR> form no record and are reported.
// Malformed tags and lengths running past the end of the file are reported and skipped; reading
// never throws on bad input.
AdifDocument ParseAdif(std::string_view text);

}  // namespace zorvik::logtools
