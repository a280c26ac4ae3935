#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/Failure.h"
#include "ui/UiContext.h"

namespace zorvik::testing {

// Log operations that only record their calls, optionally failing. The host calls go to the real
// host monitor over the given context, so start-up is tested with its real decisions.
struct OpsRecorder {
  std::vector<std::string> calls;
  std::optional<Failure> openFailure;    // thrown by openDatabase
  std::optional<Failure> actionFailure;  // thrown by loadQslQueue / cleanLog

  ui::Operations Bind(host::HostContext& host);
};

}  // namespace zorvik::testing
