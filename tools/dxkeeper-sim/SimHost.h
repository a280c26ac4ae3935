#pragma once

#include <map>
#include <memory>
#include <string>

#include "SimCommands.h"

class QLocalServer;
class QLocalSocket;

namespace dxkeeper_sim {

struct HostBehaviour {
  std::map<std::string, std::string> items;  // item name -> value served
  bool mute = false;                         // accept and read, never answer: a hung host
};

// DXKeeper's DDE server on the local-socket link: answers ADVISE/REQUEST with the item values and
// runs each EXECUTE through SimCommands (ACK when done, NACK when refused). Lives on the thread
// running the Qt event loop.
class SimHost {
 public:
  // `commands` must outlive the host.
  SimHost(HostBehaviour behaviour, SimCommands& commands);
  ~SimHost();  // stops listening and removes the socket file
  SimHost(const SimHost&) = delete;
  SimHost& operator=(const SimHost&) = delete;

  // Listens on the socket of `topic` in `directory`. A stale socket left by a host that died is
  // replaced; a live one is not. Returns an error text, empty on success.
  std::string Listen(const std::string& directory, const std::string& topic);
  std::string SocketPath() const;

 private:
  void Accept();
  void ReadFrom(QLocalSocket* socket);
  // The reply to one message, or the empty text for none.
  std::string Handle(const std::string& line);

  HostBehaviour behaviour_;
  SimCommands& commands_;
  std::unique_ptr<QLocalServer> server_;
};

}  // namespace dxkeeper_sim
