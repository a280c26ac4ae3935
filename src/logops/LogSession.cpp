#include "logops/LogSession.h"

namespace zorvik::logdb {

void LogSession::CloseAllSets() noexcept {
  for (auto* set : {&QsoSet, &ProgressSet, &QueueSet, &QthSet}) {
    try {
      if (*set) (*set)->Close();
    } catch (...) {
      // Closing is best effort by contract: the caller has nothing to do about a failure here.
    }
  }
}

void LogSession::ReplaceDatabase(const std::string& path) {
  CloseAllSets();
  // Assigned only once open: when the new path fails, LogDb stays the handle it was.
  LogDb = Database::Open(path);
}

}  // namespace zorvik::logdb
