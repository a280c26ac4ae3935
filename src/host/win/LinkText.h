#pragma once

#include <cstdint>
#include <mutex>
#include <string>

namespace zorvik::host::win {

// The text of the DDE text box, written by the program (on its own thread) and by the automatic
// link (on the DDE worker thread, at any time). Every link set-up gets a number, and only data of
// the conversation opened by the latest set-up reaches the text: a value sent on a conversation
// that is being replaced can never pass for the answer to a set-up that then fails. Thread-safe;
// never throws except std::bad_alloc.
class LinkText {
 public:
  std::string Get() const;
  // The program's own write.
  void Set(const std::string& text);

  // A set-up starts; returns its number (never 0). From now on data of earlier conversations is
  // dropped.
  std::uint64_t BeginSetUp();
  // Set-up `setUp` read `value` before opening its automatic link: that becomes the text, unless
  // the link has already brought a newer value.
  void SetUpSucceeded(std::uint64_t setUp, const std::string& value);
  // The set-up failed: no conversation writes the text, which is again what the program last
  // set (a replaced conversation may have written it since).
  void SetUpFailed(std::uint64_t setUp);
  // The conversation ended: the text stays, nothing writes it any more.
  void LinkEnded();

  // Data from the automatic link of the conversation of set-up `setUp`.
  void OnLinkData(std::uint64_t setUp, const std::string& value);

 private:
  mutable std::mutex mutex_;
  std::string text_;
  std::string programText_;  // the last Set()
  std::uint64_t lastSetUp_ = 0;
  std::uint64_t linked_ = 0;  // the set-up whose conversation may write; 0: none
  bool linkWrote_ = false;    // the linked conversation has written since its set-up began
};

}  // namespace zorvik::host::win
