#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "host/DdeClient.h"
#include "host/linux/LocalDdeChannel.h"

class QLocalSocket;

namespace zorvik::host {

// DdeClient over a local socket per link topic (see LocalDdeChannel.h and docs/host-link.md).
// Synchronous: every call returns within about `replyTimeout`, with or without a running Qt
// event loop. Use it from one thread only (the one that made it).
//
// Failure numbers thrown:
//   282 the link set-up found no host (no directory, no socket, connection refused, or the host
//       hung up before answering);
//   284 the socket directory is open to other users, so no host there is trusted;
//   285 the host refused an ADVISE or EXECUTE;
//   286 no reply in time: the conversation is dropped, so a late reply is never taken for the
//       answer to a later message;
//   290 the host sent something that is not the protocol: the conversation is dropped;
//   293 an execute with no conversation open, including one the host has since hung up;
//   380 a link mode other than 0 or 1.
class LocalDdeClient : public DdeClient {
 public:
  struct Options {
    std::filesystem::path directory{};  // empty: DdeDirectory() at each link set-up
    std::chrono::milliseconds replyTimeout{3000};
  };

  LocalDdeClient();
  explicit LocalDdeClient(Options options);
  ~LocalDdeClient() override;
  LocalDdeClient(const LocalDdeClient&) = delete;
  LocalDdeClient& operator=(const LocalDdeClient&) = delete;

  std::string Text() const override;
  void SetText(const std::string& text) override;
  void SetLinkTopic(const std::string& topic) override;
  void SetLinkItem(const std::string& item) override;
  void SetLinkMode(int mode) override;
  void LinkExecute(const std::string& command) override;

  // True while a conversation is open as far as the client knows.
  bool HasConversation() const;

 private:
  using Clock = std::chrono::steady_clock;
  enum class ReadResult { kLine, kTimeout, kClosed, kOverlong };

  void OpenLink();
  void CloseConversation() noexcept;
  // Sends one message and returns the host's reply, taking UPDATE lines on the way as new
  // values of the linked item. Throws per the table above; `closedNumber` is the number for a
  // host that hangs up instead of replying; `deadline` bounds the whole exchange.
  Message Exchange(const std::string& message, int closedNumber, Clock::time_point deadline);
  ReadResult ReadLine(Clock::time_point deadline, std::string& line);

  Options options_;
  std::unique_ptr<QLocalSocket> socket_;
  std::string text_;
  std::string topic_;
  std::string item_;
};

}  // namespace zorvik::host
