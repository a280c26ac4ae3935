#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <windows.h>
// after windows.h, which it needs
#include <ddeml.h>

#include "host/win/DdeFailures.h"

namespace zorvik::host::win {

// One DDEML client instance with at most one conversation. Thread-affine: DDEML ties an instance
// and its callbacks to the thread that started it, and that thread must keep pumping messages
// (DdeWorker does both). One session per thread.
class DdemlSession {
 public:
  // Called on the session's thread with the item's new value (UTF-8) whenever the host sends
  // data on the automatic link of the current conversation, and with the number the caller gave
  // the set-up that opened it.
  using AdviseHandler = std::function<void(std::uint64_t setUp, const std::string& value)>;

  // Starts DDEML for the calling thread. Throws Failure (a connect error) when it cannot start.
  explicit DdemlSession(AdviseHandler onAdvise);
  ~DdemlSession();
  DdemlSession(const DdemlSession&) = delete;
  DdemlSession& operator=(const DdemlSession&) = delete;

  // Ends any conversation, opens a new one with service/topic, reads `item` and opens the
  // automatic link on it. Returns the item's current value (UTF-8). On failure no conversation
  // is left open and a Failure with the mapped number is thrown (282 when nobody answered).
  // `setUp` is handed to the advise handler with every value of this conversation.
  std::string OpenLink(const std::wstring& service, const std::wstring& topic,
                       const std::wstring& item, std::uint64_t setUp);

  // Sends one execute on the conversation. Throws 293 when there is none (or the host has gone),
  // 285 when the host refused it or was busy, 286 on a timeout (the conversation is then dropped).
  void Execute(const std::wstring& command);

  // Ends the conversation, if any. Never throws.
  void Close() noexcept;

 private:
  class StringHandle;
  static HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV conv, HSZ topic, HSZ item,
                                    HDDEDATA data, ULONG_PTR data1, ULONG_PTR data2);
  // Throws the Failure for `error`; drops the conversation first when the error leaves it
  // unusable.
  [[noreturn]] void Fail(DdeStep step, UINT error);
  // The instance's last DDEML error. Reading it resets it: read it once per failure.
  UINT LastError() const;
  // The error of a failed request or advise: the last error, or DMLERR_SERVER_DIED when the host
  // has ended the conversation meanwhile.
  UINT SetUpStepError() const;
  bool ConversationAlive() const;
  // DdeConnect into conv_; false when nobody took the conversation.
  bool Connect(const std::wstring& service, const std::wstring& topic);
  // Starts a DDEML instance into instance_; returns the DMLERR code.
  UINT StartInstance();
  // Replaces the instance, dropping every conversation it holds; `endConversations` false leaves
  // the old one as it is (a hung host would make ending it wait).
  void RestartInstance(bool endConversations);
  HDDEDATA OnAdviseData(HCONV conv, HDDEDATA data);

  DWORD instance_ = 0;
  HCONV conv_ = nullptr;
  std::uint64_t setUp_ = 0;  // the caller's number for conv_
  AdviseHandler onAdvise_;
};

// How long one DDEML transaction may wait for the host's answer.
inline constexpr DWORD kDdeTransactionTimeoutMs = 3000;

}  // namespace zorvik::host::win
