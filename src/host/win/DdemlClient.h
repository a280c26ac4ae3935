#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "host/DdeClient.h"
#include "host/win/DdeWorker.h"
#include "host/win/LinkText.h"

namespace zorvik::host::win {

// The host link on Windows: a DDEML client conversation, held on its own thread (DdeWorker) so
// that every call returns within kDdeCallLimit whatever the host does.
//
// SetLinkMode(1) drops the previous conversation and opens a new one on the link topic
// ("service|topic"), reads the link item into Text() (CF_TEXT, the host's ANSI code page, as
// UTF-8) and opens an automatic link that keeps Text() current. Only the conversation of the
// latest set-up writes Text(); a failed set-up leaves the text the program set before it.
// Failures, as zorvik::Failure:
//   282 nobody answered; 285 the host refused the item or the execute (or was busy);
//   286 no answer in time (the conversation is dropped: a late reply would be mistaken for the
//   next one); 293 LinkExecute with no conversation or after the host went away;
//   297 a link topic without "|"; 380 a link mode other than 0 or 1; other DDEML errors as
//   host::win::dde_err.
class DdemlClient : public DdeClient {
 public:
  DdemlClient();

  std::string Text() const override;
  void SetText(const std::string& text) override;
  void SetLinkTopic(const std::string& topic) override;
  void SetLinkItem(const std::string& item) override;
  void SetLinkMode(int mode) override;
  void LinkExecute(const std::string& command) override;

 private:
  void OpenLink();
  // Opens the conversation of set-up `setUp` on the worker; returns the item's value.
  std::string RunSetUp(std::uint64_t setUp);

  // Written by the automatic link on the worker thread, which may outlive this object when a
  // hung host keeps it stuck.
  std::shared_ptr<LinkText> text_ = std::make_shared<LinkText>();
  std::string topic_;
  std::string item_;
  bool conversation_ = false;  // as far as this side knows; the worker checks the host's side
  DdeWorker worker_;
};

// The longest any call of DdemlClient waits.
inline constexpr std::chrono::milliseconds kDdeCallLimit{4000};

}  // namespace zorvik::host::win
