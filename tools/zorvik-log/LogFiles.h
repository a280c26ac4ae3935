#pragma once

#include <filesystem>

#include "SqliteLog.h"

namespace zorvik::logtools {

// Creates the four tables of a log (the host's schema) in an empty database.
void CreateLogTables(LogConnection& log);

// A new log written under a temporary name beside its final path and moved into place by
// Publish(), so a run that fails or is interrupted never leaves a half-written log at `path`.
class StagedLogFile {
 public:
  // Throws ToolError when `path` exists and `replace` is false, or when its folder is missing.
  StagedLogFile(std::filesystem::path path, bool replace);
  // Removes the temporary file unless it was published; never throws.
  ~StagedLogFile();
  StagedLogFile(const StagedLogFile&) = delete;
  StagedLogFile& operator=(const StagedLogFile&) = delete;

  const std::filesystem::path& TempPath() const { return temp_; }
  // Renames the temporary file to the final path (replacing it when allowed). Every connection
  // on the temporary file must be closed first. Throws ToolError on failure.
  void Publish();

 private:
  std::filesystem::path path_;
  std::filesystem::path temp_;
  bool published_ = false;
};

}  // namespace zorvik::logtools
