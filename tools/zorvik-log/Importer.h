#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "AdifReader.h"
#include "ProgressRecompute.h"

namespace zorvik::logtools {

struct ImportOptions {
  std::filesystem::path logPath;
  std::filesystem::path adifPath;
  // Operator for records that name neither OPERATOR nor STATION_CALLSIGN.
  std::optional<std::string> defaultOperator;
};

struct ImportReport {
  bool createdLog = false;
  std::size_t records = 0;            // complete records in the file
  std::size_t added = 0;              // contacts written
  std::size_t refused = 0;            // records not written
  std::vector<AdifProblem> problems;  // reading problems, refusals and dropped fields
  ProgressSummary progress;
};

// Appends the contacts of an ADIF file to a log and recomputes Progress, all in one transaction:
// a failure (ToolError) leaves the log unchanged. A missing log is created first (and removed
// again when the import fails). Bad records are refused and listed, never fatal.
ImportReport ImportAdif(const ImportOptions& options);

}  // namespace zorvik::logtools
