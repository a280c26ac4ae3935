#include "Importer.h"

#include <fstream>
#include <iterator>
#include <memory>
#include <system_error>

#include "AdifContact.h"
#include "ContactWriter.h"
#include "LogFiles.h"
#include "SqliteLog.h"

namespace zorvik::logtools {

namespace {

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ToolError("cannot read " + path.string());
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw ToolError("cannot read " + path.string());
  return text;
}

ImportReport ImportInto(LogConnection& log, const AdifDocument& doc, const ImportOptions& options) {
  ImportReport report;
  report.records = doc.records.size();
  report.problems = doc.problems;
  RequireLogTables(log);
  Transaction transaction(log);
  ContactWriter writer(log);
  for (const AdifRecord& record : doc.records) {
    ContactFromRecord mapped = ContactFromAdif(record, options.defaultOperator);
    const std::string where = "record " + std::to_string(record.number) + " (byte " +
                              std::to_string(record.byteOffset) + "): ";
    for (const std::string& message : mapped.messages) {
      report.problems.push_back({record.number, where + message});
    }
    if (mapped.contact) {
      writer.Append(*mapped.contact);
      ++report.added;
    } else {
      ++report.refused;
    }
  }
  report.progress = RecomputeProgress(log);
  transaction.Commit();
  return report;
}

}  // namespace

ImportReport ImportAdif(const ImportOptions& options) {
  const AdifDocument doc = ParseAdif(ReadWholeFile(options.adifPath));
  std::error_code ec;
  if (std::filesystem::exists(options.logPath, ec)) {
    LogConnection log(options.logPath.string(), LogConnection::Mode::kOpenExisting);
    return ImportInto(log, doc, options);
  }
  StagedLogFile staged(options.logPath, false);
  ImportReport report;
  {
    LogConnection log(staged.TempPath().string(), LogConnection::Mode::kCreateNew);
    CreateLogTables(log);
    report = ImportInto(log, doc, options);
  }
  staged.Publish();
  report.createdLog = true;
  return report;
}

}  // namespace zorvik::logtools
