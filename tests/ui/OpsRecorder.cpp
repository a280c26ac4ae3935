#include "OpsRecorder.h"

namespace zorvik::testing {

ui::Operations OpsRecorder::Bind(host::HostContext& host) {
  ui::Operations ops;
  ops.checkHostRunning = [this, &host] {
    calls.push_back("checkHostRunning");
    host::CheckHostRunning(host);
  };
  ops.sendHostCommand = [this, &host](const std::string& word) {
    calls.push_back("send " + word);
    host::SendHostCommand(host, word);
  };
  ops.showQueueCount = [this] { calls.push_back("showQueueCount"); };
  ops.loadQslQueue = [this] {
    calls.push_back("loadQslQueue");
    if (actionFailure) throw *actionFailure;
  };
  ops.cleanLog = [this] {
    calls.push_back("cleanLog");
    if (actionFailure) throw *actionFailure;
  };
  ops.closeAllSets = [this]() noexcept { calls.push_back("closeAllSets"); };
  ops.openDatabase = [this](const std::string& path) {
    calls.push_back("openDatabase " + path);
    if (openFailure) throw *openFailure;
  };
  return ops;
}

}  // namespace zorvik::testing
