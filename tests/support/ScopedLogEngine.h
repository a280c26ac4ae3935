#pragma once

#include <utility>

#include "logdb/LogEngines.h"

namespace zorvik::testing {

// Makes `engine` the one that opens logs of `kind` while this object lives, then puts the earlier
// one back.
class ScopedLogEngine {
 public:
  ScopedLogEngine(logdb::LogFileKind kind, logdb::LogEngine engine)
      : kind_(kind), previous_(logdb::SetLogEngine(kind, std::move(engine))) {}
  ~ScopedLogEngine() { logdb::SetLogEngine(kind_, std::move(previous_)); }
  ScopedLogEngine(const ScopedLogEngine&) = delete;
  ScopedLogEngine& operator=(const ScopedLogEngine&) = delete;

 private:
  logdb::LogFileKind kind_;
  logdb::LogEngine previous_;
};

}  // namespace zorvik::testing
