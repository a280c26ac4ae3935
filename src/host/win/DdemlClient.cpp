#include "host/win/DdemlClient.h"

#include "core/Failure.h"
#include "host/win/DdeFailures.h"
#include "host/win/DdemlSession.h"
#include "host/win/WideText.h"

namespace zorvik::host::win {

DdemlClient::DdemlClient()
    : worker_([text = text_](std::uint64_t setUp, const std::string& value) {
        text->OnLinkData(setUp, value);
      }) {}

std::string DdemlClient::Text() const {
  return text_->Get();
}

void DdemlClient::SetText(const std::string& text) {
  text_->Set(text);
}

void DdemlClient::SetLinkTopic(const std::string& topic) {
  topic_ = topic;
}

void DdemlClient::SetLinkItem(const std::string& item) {
  item_ = item;
}

void DdemlClient::SetLinkMode(int mode) {
  if (mode == 0) {
    conversation_ = false;
    text_->LinkEnded();
    worker_.Post([](DdemlSession& session) { session.Close(); });
    return;
  }
  if (mode != 1) {
    throw Failure(dde_err::kInvalidPropertyValue,
                  "Invalid property value: link mode " + std::to_string(mode));
  }
  OpenLink();
}

void DdemlClient::OpenLink() {
  // Whatever happens below, the previous conversation is over.
  conversation_ = false;
  const std::uint64_t setUp = text_->BeginSetUp();
  std::string value;
  try {
    value = RunSetUp(setUp);
  } catch (...) {
    text_->SetUpFailed(setUp);
    throw;
  }
  text_->SetUpSucceeded(setUp, value);
  conversation_ = true;
}

std::string DdemlClient::RunSetUp(std::uint64_t setUp) {
  const auto bar = topic_.find('|');
  if (bar == std::string::npos || bar == 0 || bar + 1 == topic_.size()) {
    worker_.Post([](DdemlSession& session) { session.Close(); });
    throw Failure(dde_err::kInvalidTopic,
                  "Can't set LinkMode; invalid LinkTopic \"" + topic_ + "\"");
  }
  std::wstring service = ToWide(topic_.substr(0, bar));
  std::wstring topic = ToWide(topic_.substr(bar + 1));
  std::wstring item = ToWide(item_);
  return worker_.Run(
      [service, topic, item, setUp](DdemlSession& session) {
        return session.OpenLink(service, topic, item, setUp);
      },
      kDdeCallLimit,
      // The caller has given up: a conversation opened this late is not one it knows of.
      [](DdemlSession& session) { session.Close(); });
}

void DdemlClient::LinkExecute(const std::string& command) {
  if (!conversation_) throw DdeFailure(DMLERR_NO_CONV_ESTABLISHED, DdeStep::kExecute);
  std::wstring wide = ToWide(command);
  try {
    worker_.Run(
        [wide](DdemlSession& session) {
          session.Execute(wide);
          return std::string();
        },
        kDdeCallLimit, [](DdemlSession& session) { session.Close(); });
  } catch (const Failure& failure) {
    // The worker drops the conversation on these; keep this side in step.
    if (failure.Number() == err::kDdeTimeout || failure.Number() == err::kDdeNoConversation ||
        failure.Number() == dde_err::kHostQuit) {
      conversation_ = false;
      text_->LinkEnded();
    }
    throw;
  }
}

}  // namespace zorvik::host::win
