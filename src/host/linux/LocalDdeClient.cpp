#include "host/linux/LocalDdeClient.h"

#include <QLocalSocket>

#include "core/Failure.h"
#include "host/linux/LocalDdeChannel.h"

namespace zorvik::host {
namespace {

constexpr int kDdeChannelExposed = 284;
constexpr int kDdeWrongFormat = 290;
constexpr int kInvalidPropertyValue = 380;

[[noreturn]] void ThrowNoAnswer() {
  throw Failure(err::kDdeNoAnswer, "No foreign application responded to a DDE initiate");
}
[[noreturn]] void ThrowNoConversation() {
  throw Failure(err::kDdeNoConversation, "DDE method invoked with no channel open");
}
[[noreturn]] void ThrowTimeout() {
  throw Failure(err::kDdeTimeout, "Timeout while waiting for DDE response");
}

int MillisecondsLeft(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

LocalDdeClient::LocalDdeClient() : LocalDdeClient(Options{}) {}

LocalDdeClient::LocalDdeClient(Options options) : options_(std::move(options)) {}

LocalDdeClient::~LocalDdeClient() {
  CloseConversation();
}

std::string LocalDdeClient::Text() const {
  return text_;
}

void LocalDdeClient::SetText(const std::string& text) {
  text_ = text;
}

void LocalDdeClient::SetLinkTopic(const std::string& topic) {
  // A conversation belongs to its topic; naming another one ends it.
  if (topic != topic_) CloseConversation();
  topic_ = topic;
}

void LocalDdeClient::SetLinkItem(const std::string& item) {
  item_ = item;
}

void LocalDdeClient::SetLinkMode(int mode) {
  if (mode == 0) {
    CloseConversation();
    return;
  }
  if (mode != 1) throw Failure(kInvalidPropertyValue, "Invalid property value");
  OpenLink();
}

bool LocalDdeClient::HasConversation() const {
  return socket_ && socket_->state() == QLocalSocket::ConnectedState;
}

void LocalDdeClient::OpenLink() {
  // Every set-up starts a fresh conversation, so nothing left over from an earlier one (a late
  // reply, a pushed value) can be read as this one's answer.
  CloseConversation();
  const auto dir = options_.directory.empty() ? DdeDirectory() : options_.directory;
  switch (CheckDdeDirectory(dir)) {
    case DirectoryState::kMissing:
      ThrowNoAnswer();
    case DirectoryState::kExposed:
      throw Failure(kDdeChannelExposed, "DDE channel locked: " + dir.string() +
                                            " is open to other users, no host there is trusted");
    case DirectoryState::kPrivate:
      break;
  }
  if (topic_.empty()) ThrowNoAnswer();

  const auto deadline = Clock::now() + options_.replyTimeout;
  socket_ = std::make_unique<QLocalSocket>();
  socket_->connectToServer(QString::fromStdString((dir / SocketFileName(topic_)).string()));
  if (!socket_->waitForConnected(MillisecondsLeft(deadline))) {
    const auto error = socket_->error();
    CloseConversation();
    if (error == QLocalSocket::SocketTimeoutError) ThrowTimeout();
    ThrowNoAnswer();
  }
  const Message reply = Exchange(EncodeMessage(verb::kAdvise, item_), err::kDdeNoAnswer, deadline);
  if (reply.verb == verb::kData) {
    text_ = reply.payload;
    return;
  }
  // The host is there but will not serve the item: no link, as after any failed set-up.
  CloseConversation();
  throw Failure(err::kDdeRefused, "Foreign application won't perform DDE method or operation");
}

void LocalDdeClient::LinkExecute(const std::string& command) {
  if (!socket_) ThrowNoConversation();
  // Take in whatever already arrived, which also notices a host that hung up since the last
  // call: that conversation is over, exactly as if none had been opened.
  socket_->waitForReadyRead(0);
  if (socket_->state() != QLocalSocket::ConnectedState) {
    CloseConversation();
    ThrowNoConversation();
  }
  const Message reply = Exchange(EncodeMessage(verb::kExecute, command), err::kDdeNoConversation,
                                 Clock::now() + options_.replyTimeout);
  if (reply.verb == verb::kAck) return;
  throw Failure(err::kDdeRefused, "Foreign application won't perform DDE method or operation");
}

Message LocalDdeClient::Exchange(const std::string& message, int closedNumber,
                                 Clock::time_point deadline) {
  const auto hangUp = [&]() -> Failure {
    CloseConversation();
    if (closedNumber == err::kDdeNoAnswer) {
      return Failure(err::kDdeNoAnswer, "No foreign application responded to a DDE initiate");
    }
    return Failure(closedNumber, "DDE method invoked with no channel open");
  };
  const auto wrongFormat = [&](const std::string& what) -> Failure {
    CloseConversation();
    return Failure(kDdeWrongFormat, "Data in wrong format: " + what);
  };

  const QByteArray bytes = QByteArray::fromStdString(message);
  if (socket_->write(bytes) != bytes.size()) throw hangUp();
  while (socket_->bytesToWrite() > 0) {
    if (!socket_->waitForBytesWritten(MillisecondsLeft(deadline))) {
      if (socket_->state() != QLocalSocket::ConnectedState) throw hangUp();
      CloseConversation();
      ThrowTimeout();
    }
  }

  for (;;) {
    std::string line;
    switch (ReadLine(deadline, line)) {
      case ReadResult::kTimeout:
        CloseConversation();
        ThrowTimeout();
      case ReadResult::kClosed:
        throw hangUp();
      case ReadResult::kOverlong:
        throw wrongFormat("a line longer than the protocol allows");
      case ReadResult::kLine:
        break;
    }
    auto reply = DecodeMessage(line);
    if (!reply) throw wrongFormat(line);
    if (reply->verb == verb::kUpdate) {
      // The automatic link: keep the newest value of the item, then go on waiting.
      text_ = reply->payload;
      continue;
    }
    if (reply->verb == verb::kData || reply->verb == verb::kAck || reply->verb == verb::kNack) {
      return std::move(*reply);
    }
    throw wrongFormat(line);
  }
}

LocalDdeClient::ReadResult LocalDdeClient::ReadLine(Clock::time_point deadline, std::string& line) {
  for (;;) {
    if (socket_->canReadLine()) {
      QByteArray raw = socket_->readLine(kMaxLineBytes + 2);
      if (!raw.endsWith('\n')) return ReadResult::kOverlong;
      raw.chop(1);
      if (raw.endsWith('\r')) raw.chop(1);
      line = raw.toStdString();
      return ReadResult::kLine;
    }
    if (socket_->bytesAvailable() > static_cast<qint64>(kMaxLineBytes))
      return ReadResult::kOverlong;
    if (socket_->state() != QLocalSocket::ConnectedState) return ReadResult::kClosed;
    const int left = MillisecondsLeft(deadline);
    if (left == 0) return ReadResult::kTimeout;
    if (!socket_->waitForReadyRead(left) && socket_->state() != QLocalSocket::ConnectedState &&
        !socket_->canReadLine()) {
      return ReadResult::kClosed;
    }
  }
}

void LocalDdeClient::CloseConversation() noexcept {
  if (!socket_) return;
  socket_->abort();
  socket_.reset();
}

}  // namespace zorvik::host
