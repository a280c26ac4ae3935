#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "ProgressRecompute.h"

namespace zorvik::logtools {

struct GenerateOptions {
  std::filesystem::path logPath;
  std::size_t contacts = 1000;
  std::size_t queueRows = 0;
  std::uint64_t seed = 1;
  std::string call = "K1ZRV";
  bool indexes = false;  // add the indexes that help the Add action (see AddIndexSql)
  bool replace = false;  // overwrite an existing file at logPath
};

struct GenerateReport {
  std::size_t contacts = 0;
  std::size_t candidates = 0;  // QSL sent and received both Null/empty, entity set, own operator
  std::size_t queueRows = 0;
  std::size_t entities = 0;  // entities that may appear (Progress rows)
  ProgressSummary progress;
};

// Writes a synthetic log: entity codes, prefixes and call signs are made up. Contacts run from
// 2000-01-01 to 2024-12-31 over 340 entities (codes among 1..400, a few popular, many rare),
// the eleven progress bands plus 60M, 4M and 70CM, SSB/CW/FT8/FT4/RTTY/AM/FM/PSK modes, about
// 90% by the log's own call and the rest by three other operators, and mixed QSL states
// (Null and empty, accepted letters, letters the Log Clean action blanks). About 30% of all
// contacts are Add candidates by default. `queueRows` contacts are queued as the Add action
// would have left them (QSL_Rcvd "R", a PrintQueue row each, some call signs queued more
// than once). Progress is computed from the contacts; QTHs holds one row.
// The same options give the same file contents. The log is written under a temporary name and
// moved into place at the end. Throws ToolError (the file at logPath is then untouched).
GenerateReport GenerateLog(const GenerateOptions& options);

// The CREATE INDEX statements of --indexes.
const char* AddIndexSql();

}  // namespace zorvik::logtools
