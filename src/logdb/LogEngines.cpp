#include "logdb/LogEngines.h"

#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>

#include "core/Failure.h"
#include "logdb/Utf8Path.h"
#include "logdb/sqlite/SqliteDatabase.h"

namespace zorvik::logdb {
namespace {

LogEngine& EngineFor(LogFileKind kind) {
  static LogEngine sqlite = [](const std::string& path) -> std::unique_ptr<Database> {
    return SqliteDatabase::Open(path);
  };
  static LogEngine jet;
  return kind == LogFileKind::kSqlite ? sqlite : jet;
}

void CheckFileBeforeOpening(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::file_status status = path.empty() ? fs::file_status{} : fs::status(Utf8Path(path), ec);
  if (!fs::exists(status)) {
    throw Failure(err::kFileNotFound, "Could not find the log file '" + path + "'");
  }
  if (fs::is_directory(status)) {
    throw Failure(err::kFileNotFound, "'" + path + "' is a folder, not a log file");
  }
  // SQLite takes an empty file for an empty database; to the user it is no log at all.
  if (fs::is_regular_file(status) && fs::file_size(Utf8Path(path), ec) == 0 && !ec) {
    throw Failure(err::kUnrecognizedFormat, "'" + path + "' is empty, not a log database");
  }
}

std::string FirstBytes(const std::string& path) {
  std::ifstream file(Utf8Path(path), std::ios::binary);
  if (!file) throw Failure(err::kFileNotFound, "Could not open the log file '" + path + "'");
  std::string bytes(kLogHeaderBytes, '\0');
  file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(file.gcount()));
  return bytes;
}

}  // namespace

std::optional<LogFileKind> LogFileKindOf(std::string_view first_bytes) {
  constexpr std::string_view kSqliteHeader("SQLite format 3\0", 16);
  if (first_bytes.substr(0, kSqliteHeader.size()) == kSqliteHeader) return LogFileKind::kSqlite;
  if (first_bytes.size() >= kLogHeaderBytes) {
    const std::string_view name = first_bytes.substr(4, 15);
    if (name == "Standard Jet DB" || name == "Standard ACE DB") return LogFileKind::kJet;
  }
  return std::nullopt;
}

LogEngine SetLogEngine(LogFileKind kind, LogEngine engine) {
  return std::exchange(EngineFor(kind), std::move(engine));
}

std::unique_ptr<Database> Database::Open(const std::string& path) {
  CheckFileBeforeOpening(path);
  const std::optional<LogFileKind> kind = LogFileKindOf(FirstBytes(path));
  if (!kind) {
    throw Failure(err::kUnrecognizedFormat, "'" + path + "' is not a log database");
  }
  const LogEngine& engine = EngineFor(*kind);
  if (!engine) {
    // Only Jet can lack an engine. DXKeeper's users know 3343 from a log that does not open.
    throw Failure(err::kUnrecognizedFormat,
                  "'" + path +
                      "' is a Jet database, the kind of file DXKeeper keeps its logs in (.mdb). "
                      "Jet logs need Zorvik on Windows, which opens them with DAO as DXKeeper "
                      "does; this Zorvik opens SQLite logs only.");
  }
  return engine(path);
}

}  // namespace zorvik::logdb
