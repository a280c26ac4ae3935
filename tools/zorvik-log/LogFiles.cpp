#include "LogFiles.h"

#include <string>
#include <system_error>

#include "logdb/sqlite/LogSchema.h"

namespace zorvik::logtools {

void CreateLogTables(LogConnection& log) {
  log.Exec(zorvik::logdb::LogSchemaSql());
}

StagedLogFile::StagedLogFile(std::filesystem::path path, bool replace) : path_(std::move(path)) {
  std::error_code ec;
  if (!replace && std::filesystem::exists(path_, ec)) {
    throw ToolError(path_.string() + " already exists (use --force to replace it)");
  }
  const std::filesystem::path folder =
      path_.has_parent_path() ? path_.parent_path() : std::filesystem::path(".");
  if (!std::filesystem::is_directory(folder, ec)) {
    throw ToolError("folder " + folder.string() + " does not exist");
  }
  temp_ = path_;
  temp_ += ".zorvik-log-partial";
  std::filesystem::remove(temp_, ec);  // left over from an interrupted run
}

StagedLogFile::~StagedLogFile() {
  if (!published_) {
    std::error_code ec;
    std::filesystem::remove(temp_, ec);
    std::filesystem::path journal = temp_;
    journal += "-journal";
    std::filesystem::remove(journal, ec);
  }
}

void StagedLogFile::Publish() {
  std::error_code ec;
  std::filesystem::rename(temp_, path_, ec);
  if (ec) throw ToolError("cannot move the new log to " + path_.string() + ": " + ec.message());
  published_ = true;
}

}  // namespace zorvik::logtools
