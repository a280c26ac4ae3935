#include "SimHost.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <cstdio>

#include "host/linux/LocalDdeChannel.h"

namespace dxkeeper_sim {

namespace dde = zorvik::host;

SimHost::SimHost(HostBehaviour behaviour, HeldLog& log, CommandJournal journal)
    : behaviour_(std::move(behaviour)), log_(log), journal_(std::move(journal)) {}

SimHost::~SimHost() {
  if (server_) server_->close();
}

std::string SimHost::Listen(const std::string& directory, const std::string& topic) {
  if (auto error = dde::EnsureDdeDirectory(directory); !error.empty()) return error;
  const QString path = QString::fromStdString(directory + "/" + dde::SocketFileName(topic));
  {
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.waitForConnected(1000)) return "another host already serves " + path.toStdString();
  }
  QLocalServer::removeServer(path);
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(path))
    return "cannot listen on " + path.toStdString() + ": " + server_->errorString().toStdString();
  QObject::connect(server_.get(), &QLocalServer::newConnection, [this] { Accept(); });
  return {};
}

std::string SimHost::SocketPath() const {
  return server_ ? server_->fullServerName().toStdString() : std::string();
}

void SimHost::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QObject::connect(socket, &QLocalSocket::readyRead, socket,
                     [this, socket] { ReadFrom(socket); });
    ReadFrom(socket);
  }
}

void SimHost::ReadFrom(QLocalSocket* socket) {
  while (socket->canReadLine()) {
    QByteArray raw = socket->readLine(dde::kMaxLineBytes + 2);
    if (!raw.endsWith('\n')) break;
    raw.chop(1);
    if (raw.endsWith('\r')) raw.chop(1);
    const std::string reply = Handle(raw.toStdString());
    if (!behaviour_.mute && !reply.empty())
      socket->write(reply.data(), static_cast<qint64>(reply.size()));
  }
  // A client that sends an endless line is cut off rather than buffered without bound.
  if (socket->bytesAvailable() > static_cast<qint64>(dde::kMaxLineBytes)) socket->abort();
}

std::string SimHost::Handle(const std::string& line) {
  const auto message = dde::DecodeMessage(line);
  if (!message) return dde::EncodeMessage(dde::verb::kNack);
  if (message->verb == dde::verb::kAdvise || message->verb == dde::verb::kRequest) {
    const auto it = behaviour_.items.find(message->payload);
    if (it == behaviour_.items.end()) return dde::EncodeMessage(dde::verb::kNack);
    return dde::EncodeMessage(dde::verb::kData, it->second);
  }
  if (message->verb == dde::verb::kExecute) return Execute(message->payload);
  return dde::EncodeMessage(dde::verb::kNack);
}

std::string SimHost::Execute(const std::string& command) {
  if (!journal_.Append(command, log_.CommittedQueueRows()))
    std::fprintf(stderr, "dxkeeper-sim: cannot write the journal\n");
  const auto nack = dde::EncodeMessage(dde::verb::kNack);
  const std::string prefix = "001";
  if (!command.starts_with(prefix)) return nack;
  const std::string word = command.substr(prefix.size());
  if (behaviour_.refused.contains(word) || behaviour_.refused.contains(command)) return nack;
  if (word == "closelog") {
    log_.Close();
  } else if (word == "openlastlog") {
    if (auto error = log_.Open(); !error.empty()) {
      std::fprintf(stderr, "dxkeeper-sim: cannot reopen %s: %s\n", log_.Path().c_str(),
                   error.c_str());
      return nack;
    }
  } else if (word != "commandcomplete") {
    return nack;
  }
  return dde::EncodeMessage(dde::verb::kAck);
}

}  // namespace dxkeeper_sim
